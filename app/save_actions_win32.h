// The save actions behind the save and test buttons and "In thông tin IP",
// and the send-job hooks they run their jobs with. UI thread only. "Lưu IP"
// is the address change's (lan_change_win32.cpp).
#pragma once

#include "app/main_window_win32.h"
#include "transport/send_jobs.h"

namespace korvante {

// The send-job hooks of the window: outcomes come back as kMsgSendDone.
SendJobHooks SendHooksOf(MainWindow& w);

void SaveWifi(MainWindow& w);
void SaveQueue(MainWindow& w);
void SaveBeep(MainWindow& w, bool test);
void SaveDensity(MainWindow& w);
// "In thông tin IP": the information slip of the selected printer.
void PrintInfo(MainWindow& w);
// The LAN page's texts on the printer the box names: what it reported of
// itself, and whether it takes mask and gateway. Kept up to date with the box.
void ShowLanTargetInfo(MainWindow& w);

}  // namespace korvante
