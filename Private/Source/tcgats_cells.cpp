// TCgats: setting one number of a table in place.
#include <tintvale/tcgats.h>

#include "tcgatstable.h"

int TCgats::SetNumber(int t, int s, int field, double value)
{
    const TCgatsTable* sound = SoundTable(t);
    if (!sound || !sound->ValidSample(s) || field < 0 || field >= sound->NrFields())
        return -1;
    auto* column = dynamic_cast<TCgatsValueListDouble*>(tables[t]->columns[field].get());
    if (!column)
        return -1;
    column->Set(s, value);
    return 0;
}
