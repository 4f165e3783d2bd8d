// Control identifiers of the "Update" window, shared by its resource script, its code
// and the tests that read it.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_UPDATE 100

#define IDC_TITLE 1001
#define IDC_VERSION 1002
#define IDC_ADDRESS 1003
#define IDC_DOWNLOAD 1004

#define UPDATE_CAPTION "Veltrano Update"
#define DOWNLOAD_PAGE "https://www.quarnsoft.example/download/"
