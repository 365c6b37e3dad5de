#include "app/Product.h"

#include "text/AnsiText.h"

std::string ComposeEditionText(int editionBits) { return ansi::Format("( %d位 AutoCAD版 )", editionBits); }

std::string ComposeDisplayName(int editionBits) { return VM_PRODUCT_NAME " " + ComposeEditionText(editionBits); }
