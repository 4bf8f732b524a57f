#include "shell/PanelRequests.h"

PanelRequests& ThePanelRequests()
{
    static PanelRequests requests;
    return requests;
}
