// docInsertPages of the PDModel table (PageInsertion.cpp).
#pragma once

#include "qmhost/PDModelTable.h"

namespace qmhost::pdmodel {

void docInsertPages(PDDoc dest, int32_t afterPage, PDDoc source, int32_t firstPage, int32_t count);

}  // namespace qmhost::pdmodel
