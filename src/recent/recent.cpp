#include "app/form1.h"

// TODO: filled in by the issue that builds this command.
void Form1::LoadRecent() {}
void Form1::AddRecent(const QString &, bool) {}
void Form1::AddAllRecent() {}
void Form1::SaveRecent() {}
void Form1::LoadRecentMenu() {}
void Form1::PushButton4_Click() {}
void Form1::subRecent_Click(int) {}
void Form1::WasOpenRecent(bool &AnyReopened) { AnyReopened = false; }
void Form1::SaveOpen() {}
