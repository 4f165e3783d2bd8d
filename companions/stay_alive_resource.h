// Control identifiers of the "Stay Alive" window, shared by its resource script, its
// code and the tests that drive it.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_STAY_ALIVE 100

#define IDC_HOST 1001
#define IDC_PORT 1002
#define IDC_MINUTES 1003
#define IDC_MINUTES_SPIN 1004
#define IDC_START 1005
#define IDC_STOP 1006
#define IDC_STATUS 1007
#define IDC_LAST_TIME 1008
#define IDC_RESULT 1009
#define IDC_NOTE 1010

#define STAY_ALIVE_CAPTION "Veltrano Stay Alive"
