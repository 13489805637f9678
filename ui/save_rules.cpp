#include "ui/save_rules.h"

#include "common/app_state.h"
#include "common/error_text.h"
#include "rules/rule_file.h"

#include <string>

bool SaveRulesOrWarn(HWND owner)
{
    if (SaveRules(ruleFileName))
        return true;
    std::string reason = SystemErrorReason(GetLastError());
    std::string message = std::string("The rules could not be saved to ") + ruleFileName + ".\n\n" + reason +
                          "\n\nThe rules stay as you left them until the program ends; the next add, "
                          "edit or delete saves them all.";
    MessageBoxA(owner, message.c_str(), appCaption, MB_OK | MB_ICONWARNING);
    return false;
}
