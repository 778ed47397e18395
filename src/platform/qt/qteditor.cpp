#include "platform/qt/qteditor.h"

#include "platform/qt/twips.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QStringDecoder>
#include <algorithm>

namespace {

using Sci = QsciScintillaBase;

constexpr int ModCtrl = Sci::SCMOD_CTRL;
constexpr int ModShift = Sci::SCMOD_SHIFT;
constexpr int ModAlt = Sci::SCMOD_ALT;

QAccessibleInterface *editorAccessible(const QString &, QObject *object)
{
    if (auto w = qobject_cast<SciWidget *>(object))
        return new QAccessibleWidget(w, QAccessible::EditableText);
    return nullptr;
}

} // namespace

void installEditorAccessibility()
{
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(editorAccessible);
        installed = true;
    }
}

SciWidget::SciWidget(QWidget *parent) : QsciScintillaBase(parent)
{
    // Only the "before" notifications: QScintilla's own handling of the others counts
    // characters from the start of the document.
    SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE));
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int, int type, const char *, int, int, int, int, int, int, int) {
                if (type & (SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE))
                    pending_ = true;
            });
    // A skin's background-color and color for the editor arrive as Base and Text.
    setBackgroundRole(QPalette::Base);
    setForegroundRole(QPalette::Text);
}

void SciWidget::changeEvent(QEvent *e)
{
    QsciScintillaBase::changeEvent(e);
    // Scintilla paints with colours of its own; a skin speaks through the palette.
    if (e->type() == QEvent::PaletteChange) {
        const QPalette &pal = palette();
        const auto bgr = [](const QColor &c) { return static_cast<long>(c.red() | c.green() << 8 | c.blue() << 16); };
        SendScintilla(SCI_STYLESETBACK, STYLE_DEFAULT, bgr(pal.color(QPalette::Base)));
        SendScintilla(SCI_STYLESETFORE, STYLE_DEFAULT, bgr(pal.color(QPalette::Text)));
        SendScintilla(SCI_STYLESETBACK, 0, bgr(pal.color(QPalette::Base)));
        SendScintilla(SCI_STYLESETFORE, 0, bgr(pal.color(QPalette::Text)));
        SendScintilla(SCI_SETSELBACK, 1, bgr(pal.color(QPalette::Highlight)));
        SendScintilla(SCI_SETSELFORE, 1, bgr(pal.color(QPalette::HighlightedText)));
        SendScintilla(SCI_SETCARETFORE, bgr(pal.color(QPalette::Text)));
    }
}

bool SciWidget::event(QEvent *e)
{
    bool handled = false;
    asOneChange([&] { handled = QsciScintillaBase::event(e); });
    return handled;
}

bool SciWidget::viewportEvent(QEvent *e)
{
    bool handled = false;
    asOneChange([&] { handled = QsciScintillaBase::viewportEvent(e); });
    return handled;
}

void SciWidget::flush()
{
    if (depth_ == 0 && pending_) {
        pending_ = false;
        if (onChanged)
            onChanged();
    }
}

QtEditor::QtEditor(QWidget *parent, const QFont &font, double left, double top, double width, double height)
    : sci_(new SciWidget(parent)), font_(font), left_(left), top_(top), width_(width), height_(height)
{
    sci_->hide();
    // A document without style bytes halves the memory a large file takes.
    const long doc = send(Sci::SCI_CREATEDOCUMENT, 0, Sci::SC_DOCUMENTOPTION_STYLES_NONE);
    send(Sci::SCI_SETDOCPOINTER, 0, doc);
    send(Sci::SCI_RELEASEDOCUMENT, 0, doc);
    send(Sci::SCI_SETCODEPAGE, Sci::SC_CP_UTF8);
    send(Sci::SCI_SETEOLMODE, Sci::SC_EOL_CRLF);
    send(Sci::SCI_SETPASTECONVERTENDINGS, 1);
    // The program keeps its own history.
    send(Sci::SCI_SETUNDOCOLLECTION, 0);
    send(Sci::SCI_EMPTYUNDOBUFFER);
    send(Sci::SCI_ALLOCATELINECHARACTERINDEX, Sci::SC_LINECHARACTERINDEX_UTF16);
    send(Sci::SCI_USEPOPUP, Sci::SC_POPUP_NEVER);
    for (int margin = 0; margin < 5; ++margin)
        send(Sci::SCI_SETMARGINWIDTHN, margin, 0);
    send(Sci::SCI_SETSCROLLWIDTH, 1);
    send(Sci::SCI_SETSCROLLWIDTHTRACKING, 1);
    send(Sci::SCI_SETWRAPMODE, Sci::SC_WRAP_NONE);

    const QByteArray family = font_.family().toUtf8();
    sci_->SendScintilla(Sci::SCI_STYLESETFONT, Sci::STYLE_DEFAULT, family.constData());
    send(Sci::SCI_STYLESETSIZEFRACTIONAL, Sci::STYLE_DEFAULT, std::lround(font_.pointSizeF() * static_cast<int>(Sci::SC_FONT_SIZE_MULTIPLIER)));
    send(Sci::SCI_STYLESETBOLD, Sci::STYLE_DEFAULT, font_.bold() ? 1 : 0);
    send(Sci::SCI_STYLECLEARALL);

    // Keys that would edit behind the program's back, undo on their own, or take the
    // program's shortcuts.
    const int letters[] = {'L', 'T', 'D', 'U'};
    for (int key : letters) {
        send(Sci::SCI_CLEARCMDKEY, key + (ModCtrl << 16));
        send(Sci::SCI_CLEARCMDKEY, key + ((ModCtrl | ModShift) << 16));
    }
    const int taken[] = {'Z', 'Y', 'A', 'N', 'O', 'S', 'W'};
    for (int key : taken) {
        send(Sci::SCI_CLEARCMDKEY, key + (ModCtrl << 16));
        send(Sci::SCI_CLEARCMDKEY, key + ((ModCtrl | ModShift) << 16));
    }
    send(Sci::SCI_CLEARCMDKEY, Sci::SCK_BACK + (ModAlt << 16));
    send(Sci::SCI_CLEARCMDKEY, Sci::SCK_BACK + ((ModAlt | ModShift) << 16));
    for (int key : {Sci::SCK_ADD, Sci::SCK_SUBTRACT, Sci::SCK_DIVIDE})
        send(Sci::SCI_CLEARCMDKEY, key + (ModCtrl << 16));
    send(Sci::SCI_CLEARCMDKEY, Sci::SCK_INSERT);

    place();
    sci_->onChanged = [this] { notifyChanged(); };
}

QtEditor::~QtEditor()
{
    QPointer<SciWidget> guard(sci_);
    if (guard) {
        guard->onChanged = nullptr;
        delete guard.data();
    }
}

// QString::fromUtf8 drops a leading U+FEFF; in the buffer it is a character of the text.
static QString fromBuffer(const char *data, qsizetype length)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(data, length));
}

QString QtEditor::text() const
{
    const long length = send(Sci::SCI_GETLENGTH);
    const auto data = reinterpret_cast<const char *>(send(Sci::SCI_GETCHARACTERPOINTER));
    return fromBuffer(data, length);
}

void QtEditor::setText(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    sci_->asOneChange([&] {
        send(Sci::SCI_CLEARALL);
        // APPENDTEXT with a length keeps NUL characters; SETTEXT would stop at the first.
        if (!bytes.isEmpty())
            sci_->SendScintilla(Sci::SCI_APPENDTEXT, static_cast<uintptr_t>(bytes.size()), bytes.constData());
        send(Sci::SCI_SETSCROLLWIDTH, 1);
        send(Sci::SCI_GOTOPOS, 0);
    });
}

QByteArray QtEditor::utf8() const
{
    const long length = send(Sci::SCI_GETLENGTH);
    const auto data = reinterpret_cast<const char *>(send(Sci::SCI_GETCHARACTERPOINTER));
    return QByteArray(data, length);
}

int QtEditor::textLength() const
{
    return toUtf16(send(Sci::SCI_GETLENGTH));
}

int QtEditor::toUtf16(long bytePos) const
{
    const long line = send(Sci::SCI_LINEFROMPOSITION, bytePos);
    const long lineStart = send(Sci::SCI_POSITIONFROMLINE, line);
    const long index = send(Sci::SCI_INDEXPOSITIONFROMLINE, line, Sci::SC_LINECHARACTERINDEX_UTF16);
    return static_cast<int>(index + sci_->SendScintilla(Sci::SCI_COUNTCODEUNITS, lineStart, bytePos));
}

long QtEditor::toBytes(int utf16) const
{
    const long length = send(Sci::SCI_GETLENGTH);
    if (utf16 <= 0)
        return 0;
    if (utf16 >= toUtf16(length))
        return length;
    const long line = send(Sci::SCI_LINEFROMINDEXPOSITION, utf16, Sci::SC_LINECHARACTERINDEX_UTF16);
    const long lineStart = send(Sci::SCI_POSITIONFROMLINE, line);
    const long rel = utf16 - send(Sci::SCI_INDEXPOSITIONFROMLINE, line, Sci::SC_LINECHARACTERINDEX_UTF16);
    if (rel <= 0)
        return lineStart;
    long pos = send(Sci::SCI_POSITIONRELATIVECODEUNITS, lineStart, rel);
    if (pos == 0) // inside a surrogate pair: step back to its start
        pos = send(Sci::SCI_POSITIONRELATIVECODEUNITS, lineStart, rel - 1);
    return pos;
}

long QtEditor::snap(long bytePos) const
{
    // Never leave a position between the "\r" and the "\n" of a line break.
    if (bytePos > 0 && send(Sci::SCI_GETCHARAT, bytePos - 1) == '\r' && send(Sci::SCI_GETCHARAT, bytePos) == '\n')
        return bytePos - 1;
    return bytePos;
}

int QtEditor::selStart() const
{
    return toUtf16(send(Sci::SCI_GETSELECTIONSTART));
}

void QtEditor::setSelStart(int start)
{
    const long pos = snap(toBytes(start));
    send(Sci::SCI_SETSEL, pos, pos);
}

int QtEditor::selLength() const
{
    return toUtf16(send(Sci::SCI_GETSELECTIONEND)) - selStart();
}

void QtEditor::setSelLength(int length)
{
    const long start = send(Sci::SCI_GETSELECTIONSTART);
    long end = toBytes(toUtf16(start) + std::max(0, length));
    if (snap(end) != end)
        ++end; // take the whole line break
    send(Sci::SCI_SETSEL, start, end);
}

QString QtEditor::selText() const
{
    const long start = send(Sci::SCI_GETSELECTIONSTART);
    const long end = send(Sci::SCI_GETSELECTIONEND);
    const auto data = reinterpret_cast<const char *>(send(Sci::SCI_GETCHARACTERPOINTER));
    return fromBuffer(data + start, end - start);
}

void QtEditor::setSelText(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    sci_->asOneChange([&] {
        send(Sci::SCI_TARGETFROMSELECTION);
        sci_->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<uintptr_t>(bytes.size()), bytes.constData());
        const long end = send(Sci::SCI_GETTARGETEND);
        send(Sci::SCI_SETSEL, end, end);
    });
}

bool QtEditor::isVisible() const
{
    return visible_;
}

void QtEditor::setVisible(bool visible)
{
    visible_ = visible;
    sci_->setVisible(visible);
}

void QtEditor::zOrder()
{
    sci_->raise();
}

void QtEditor::setFocus()
{
    sci_->setFocus(Qt::OtherFocusReason);
}

bool QtEditor::hasFocus() const
{
    return sci_->hasFocus();
}

void QtEditor::hideSelection(bool hide)
{
    send(Sci::SCI_HIDESELECTION, hide ? 1 : 0);
}

void QtEditor::setWidth(double twips)
{
    width_ = twips;
    place();
}

void QtEditor::setHeight(double twips)
{
    height_ = twips;
    place();
}

void QtEditor::place()
{
    sci_->setGeometry(Twips::toPixels(left_), Twips::toPixels(top_), Twips::toPixels(width_), Twips::toPixels(height_));
}

Editor *QtEditorFactory::createElement(int index)
{
    std::unique_ptr<QtEditor> e;
    if (index == 0 || !element0_) {
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(9);
        e = std::make_unique<QtEditor>(parent_, font, 120, 480, 11625, 7320);
    } else {
        e = std::make_unique<QtEditor>(parent_, element0_->font(), element0_->left(), element0_->top(),
                                       element0_->width(), element0_->height());
    }
    QtEditor *raw = e.get();
    owned_.push_back(std::move(e));
    if (index == 0) {
        element0_ = raw;
        raw->setVisible(true); // the designed element is shown from the start
        installEditorAccessibility();
    }
    return raw;
}

void QtEditorFactory::destroyElement(Editor *editor)
{
    auto it = std::find_if(owned_.begin(), owned_.end(), [&](const auto &e) { return e.get() == editor; });
    if (it != owned_.end() && it->get() != element0_)
        owned_.erase(it);
}

std::vector<QtEditor *> QtEditorFactory::elements() const
{
    std::vector<QtEditor *> out;
    for (const auto &e : owned_)
        out.push_back(e.get());
    return out;
}
