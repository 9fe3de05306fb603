#include "launcher/commands.h"

#include "launcher/menu_window.h"
#include "resources/resource.h"

LRESULT RunMenuCommand(int id, int code)
{
    // Notifications (focus changes among them) and commands without a
    // handler only refresh the menu.
    if (code == 0 && id == IDC_EXIT)
        return QuitLauncher();
    return RefreshMenu();
}
