#include "app/form1.h"

// TODO: filled in by the issue that builds this command.
void Form1::RichTextBox1_Change(int) {}
void Form1::PushButton6_Click() {}
void Form1::PushButton9_Click() {}
