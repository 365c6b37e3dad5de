// The setup dialog's rules that need no window: its title, and the folders the
// install button takes.
#pragma once

#include <string>

// "结构工具箱软件 V2025.03.02" from 20250302: minor and patch below 10 get a leading zero.
std::string ComposeSetupTitle(int version);

// A drive-rooted folder of valid names, as the install button takes it.
bool IsInstallableFolder(const std::string& folder);
