// Control ids of the probe dialog, shared by its code and its resource script.
#pragma once

#define IDD_PROBE 100
#define IDC_PROBE_TITLE 1001
#define IDC_PROBE_TICKED 1002
#define IDC_PROBE_GREYED 1003
#define IDC_PROBE_HIDDEN 1004
#define IDC_PROBE_GO 1005
#define IDC_PROBE_FOLDER 1006
#define IDC_PROBE_ASK 1007
#define IDC_PROBE_ANSWER 1008
