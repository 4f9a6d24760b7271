// TCgats: the constructors that read CGATS.17 text, through the private reader.
#include <tintvale/tcgats.h>

#include "cgatsreader.h"
#include "tcgatstable.h"
#include "tcgatstableheader.h"
#include "tcgatstag.h"

TCgats::TCgats(const char* fileName)
    : TCgats(fileName, TextInNumberField::Refuse)
{ }

TCgats::TCgats(const char* buffer, int)
    : TCgats(buffer, 0, TextInNumberField::Refuse)
{ }

TCgats::TCgats(const char* fileName, TextInNumberField cells)
{
    SetToZero();
    CgatsReader(*this, cells).ReadFile(fileName);
}

TCgats::TCgats(const char* buffer, int, TextInNumberField cells)
{
    SetToZero();
    CgatsReader(*this, cells).ReadText(buffer);
}
