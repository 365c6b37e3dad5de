// The product's names as Windows shows them: in the version resource (Explorer's
// Properties -> Details) and in the Apps & Features entry. Included by the .rc
// (UTF-8, stored as UTF-16) and by the program (code page 936).
#pragma once

#define VM_PRODUCT_NAME "Vellmark 结构工具箱"
#define VM_COMPANY_NAME "Vellmark"

#ifndef RC_INVOKED
#include <string>

// "( 32位 AutoCAD版 )": the AutoCAD an edition serves, as the dialog shows it.
std::string ComposeEditionText(int editionBits);
// "Vellmark 结构工具箱 ( 32位 AutoCAD版 )": both editions may be installed on one
// machine, and the list of programs must tell them apart.
std::string ComposeDisplayName(int editionBits);
#endif
