/* Marquill "Light": soft grey-blue window, white paper, blue accents.
   Copy to x/o.cjs beside the program. */

QWidget#Form1 {
    background-color: #e9edf2;
}

QPushButton {
    color: #1d2733;
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #ffffff, stop: 1 #e4e9f0);
    border: 1px solid #b4bfcc;
    border-radius: 5px;
    padding: 0px;
}
QPushButton:hover {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #f4f9ff, stop: 1 #d6e6fa);
    border-color: #4a86d4;
}
QPushButton:pressed {
    background-color: #c5daf5;
    border-color: #2f6cbd;
}
/* The button the keyboard is on (F6, then Tab or the arrow keys). */
QPushButton:focus {
    border: 2px solid #2f6cbd;
}
/* Find Next before a search has been made, or after one ran out. */
QPushButton[foreColor="8421504"] {
    color: #8c96a3;
}

QFrame#TabControl1 {
    background-color: #f7f9fb;
    border: 1px solid #b4bfcc;
    border-radius: 4px;
}

QTabBar {
    qproperty-drawBase: 0;
}
QTabBar::tab {
    color: #3b4756;
    background-color: #dde3ea;
    border: 1px solid #b4bfcc;
    border-bottom: none;
    border-top-left-radius: 4px;
    border-top-right-radius: 4px;
    padding: 4px 12px;
    margin-right: 2px;
}
QTabBar::tab:selected {
    color: #10365f;
    background-color: #ffffff;
    border-top: 2px solid #3f7fd0;
}
QTabBar::tab:hover:!selected {
    background-color: #eaf1fa;
}

QsciScintillaBase {
    color: #1d2733;
    background-color: #ffffff;
    selection-color: #ffffff;
    selection-background-color: #3f7fd0;
    border: 1px solid #c9d1db;
}

/* Questions, notices and the file dialogs. */
QDialog {
    background-color: #f3f5f8;
}
QDialog QPushButton {
    padding: 3px 12px;
    min-width: 56px;
}
QLineEdit {
    color: #1d2733;
    background-color: #ffffff;
    border: 1px solid #b4bfcc;
    border-radius: 3px;
    padding: 2px 4px;
    selection-color: #ffffff;
    selection-background-color: #3f7fd0;
}
QLineEdit:focus {
    border-color: #3f7fd0;
}
QMenu {
    color: #1d2733;
    background-color: #ffffff;
    border: 1px solid #b4bfcc;
    padding: 3px;
}
QMenu::item {
    padding: 4px 18px;
}
QMenu::item:selected {
    color: #ffffff;
    background-color: #3f7fd0;
}
