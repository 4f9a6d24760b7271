// TColorSpaceRepresentation: the interface of the colour spaces behind the facade.
#include <tintvale/tcolorspacerepresentation.h>

TColorSpaceRepresentation::~TColorSpaceRepresentation() = default;
