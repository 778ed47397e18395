#include "app/form1.h"
#include "app/look.h"

#include "platform/window.h"

#include <QFileInfo>

bool FileExists(const QString &path)
{
    try {
        return !path.isEmpty() && QFileInfo(path).lastModified().isValid();
    } catch (...) {
        return false;
    }
}

void Form1::LoadSkin()
{
    // No handler of its own: a failure ends the skin and is reported by start-up.
    const QString path = p.window.programFolder() + QStringLiteral("/x/o.cjs");
    if (!QFileInfo(path).isFile())
        return;
    p.window.setButtonFaceBackground();
    p.window.loadSkin(path, QString());
    p.window.setSkinOptions(p.window.skinOptions() | 1);
    p.window.setSkinSwitches(true, true);
    p.window.applySkin();
}

void Form1::Form_MouseMove()
{
    if (p.window.mousePointer() != Pointer::Busy)
        p.window.setMousePointer(Pointer::Default);
}

void Form1::PushButton_MouseMove(Button)
{
    if (p.window.mousePointer() != Pointer::Busy)
        p.window.setMousePointer(Pointer::Custom);
}
