#pragma once

// Resource ids of the menu and of its language libraries. Plain macros, so
// that windres can read this file as well as the compiler.

// Resources of the program's own module.
#define IDI_RUMBELON 107
#define IDB_BACKGROUND 127
#define IDD_PERFORMANCE_SETTINGS 151

// Strings: the program's own table holds the English texts of those marked
// "own"; the others come only from a language library.
#define IDS_INSERT_DISC 12       // own: text of the insert-disc prompt
#define IDS_PLAY 14              // own: first play button
#define IDS_INSTALL 15           // own: install button
#define IDS_INSTALL_DIRECTX 16   // own: DirectX button
#define IDS_UNINSTALL 17         // own: uninstall button
#define IDS_PLAY_OPTION 18       // second play button
#define IDS_EXIT 20              // own: exit button
#define IDS_ERROR_CAPTION 21     // own: caption of error boxes and the prompt
#define IDS_MENU_TITLE 22        // own: window title of a running menu
#define IDS_DISC_ERROR 23        // own: a file of the disc is missing
#define IDS_INSTALLATION_ERROR 24 // own: a file of the installation is missing
#define IDS_GAME_CLASS 25        // own: window class of the running game
#define IDS_GAME_TITLE 26        // own: window title of the running game
#define IDS_MENU_CLASS 27        // own: window class and title of the menu
#define IDS_PERFORMANCE_SETTINGS 28 // settings button and dialog title
#define IDS_DISPLAY 29           // settings dialog texts, 29 to 37
#define IDS_DRAWING_DISTANCE 30
#define IDS_FULL_SCREEN 31
#define IDS_WINDOWED 32
#define IDS_HIGH 33
#define IDS_LOW 34
#define IDS_OK 35
#define IDS_CANCEL 36
#define IDS_RESOLUTION 37

// Controls of the Performance Settings dialog.
#define IDC_WINDOWED 1024
#define IDC_FULL_SCREEN 1025
#define IDC_HIGH 1026
#define IDC_LOW 1027
#define IDC_DISPLAY_GROUP 1029
#define IDC_DRAWING_DISTANCE_GROUP 1030
#define IDC_RESOLUTION_LABEL 1031
#define IDC_RESOLUTION 1032

// Buttons of the menu window; each id is the command it sends.
#define IDC_INSTALL 8001
#define IDC_PLAY 8002
#define IDC_PLAY_OPTION 8003
#define IDC_INSTALL_DIRECTX 8004
#define IDC_EXIT 8005
#define IDC_UNINSTALL 8006
#define IDC_PERFORMANCE_SETTINGS 8011
