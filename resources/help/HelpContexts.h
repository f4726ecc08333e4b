// The help contexts of the program's windows: the setup and add-entry dialogs, the about box.
#define IDH_SETUP_DIALOGS 2
#define IDH_ABOUT_BOX 3
