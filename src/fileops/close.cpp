#include "app/form1.h"

// TODO: filled in by the issue that builds this command.
void Form1::PushButton11_Click() {}
void Form1::PushButton12_Click() {}
