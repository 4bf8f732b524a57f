#pragma once

class TBedienTeil;

// Files dropped on the control panel become the queue. The panel registers its
// drop target as the last step of its creation and revokes it as the last step
// of its destruction.
void RegisterPanelDropTarget(TBedienTeil& panel);
void RevokePanelDropTarget(TBedienTeil& panel);
