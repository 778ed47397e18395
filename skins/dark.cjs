/* Marquill "Dark": charcoal window, slate paper, amber accents.
   Copy to x/o.cjs beside the program. */

QWidget#Form1 {
    background-color: #1e2126;
}

QPushButton {
    color: #e4e7eb;
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #3a3f47, stop: 1 #2d3138);
    border: 1px solid #4a505a;
    border-radius: 5px;
    padding: 0px;
}
QPushButton:hover {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #474d57, stop: 1 #383d45);
    border-color: #e0a84a;
}
QPushButton:pressed {
    background-color: #5a4a2e;
    border-color: #f0b85a;
}
/* The button the keyboard is on (F6, then Tab or the arrow keys). */
QPushButton:focus {
    border: 2px solid #f0b85a;
}
/* Find Next before a search has been made, or after one ran out. */
QPushButton[foreColor="8421504"] {
    color: #767d88;
}

/* The status line along the bottom edge, when shown. */
QLabel#statusLine {
    color: #aab2bd;
}

QFrame#TabControl1 {
    background-color: #282c33;
    border: 1px solid #434954;
    border-radius: 4px;
}

QTabBar {
    qproperty-drawBase: 0;
}
QTabBar::tab {
    color: #aab2bd;
    background-color: #2f343c;
    border: 1px solid #434954;
    border-bottom: none;
    border-top-left-radius: 4px;
    border-top-right-radius: 4px;
    padding: 4px 12px;
    margin-right: 2px;
}
QTabBar::tab:selected {
    color: #f3d9a8;
    background-color: #1b1e23;
    border-top: 2px solid #e0a84a;
}
QTabBar::tab:hover:!selected {
    background-color: #383e47;
}

QsciScintillaBase {
    color: #dfe3e8;
    background-color: #1b1e23;
    selection-color: #1b1e23;
    selection-background-color: #e0a84a;
    border: 1px solid #3a3f48;
}

/* Questions, notices and the file dialogs. */
QDialog {
    background-color: #24282e;
}
QDialog QLabel {
    color: #e4e7eb;
}
QDialog QPushButton {
    padding: 3px 12px;
    min-width: 56px;
}
QLineEdit, QComboBox, QDialog QAbstractItemView {
    color: #dfe3e8;
    background-color: #1b1e23;
    border: 1px solid #4a505a;
    border-radius: 3px;
    selection-color: #1b1e23;
    selection-background-color: #e0a84a;
}
QLineEdit {
    padding: 2px 4px;
}
QLineEdit:focus, QComboBox:focus {
    border-color: #e0a84a;
}
QMenu {
    color: #e4e7eb;
    background-color: #2d3138;
    border: 1px solid #4a505a;
    padding: 3px;
}
QMenu::item {
    padding: 4px 18px;
}
QMenu::item:selected {
    color: #1b1e23;
    background-color: #e0a84a;
}
