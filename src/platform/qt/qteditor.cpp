// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qteditor.h"

#include "platform/qt/twips.h"

#include "app/commands.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/rawutf8.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QPointer>
#include <QScopedValueRollback>
#include <QTimer>
#include <algorithm>

namespace {

using Sci = QsciScintillaBase;

constexpr int ModCtrl = Sci::SCMOD_CTRL;
constexpr int ModShift = Sci::SCMOD_SHIFT;
constexpr int ModAlt = Sci::SCMOD_ALT;

} // namespace

SciWidget::SciWidget(QWidget *parent) : QsciScintillaBase(parent)
{
    // Only the "before" notifications: QScintilla's own handling of the others counts
    // characters from the start of the document.
    SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE));
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char *, int length, int, int, int, int, int, int) {
                if ((type & (SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE)) && length > 0)
                    before(type & SC_MOD_BEFOREINSERT, position, length);
            });
    // Every blink of the caret paints its line again, and painting a line walks it from its
    // start: on a very long line the caret stays lit instead of blinking.
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this, blink = SendScintilla(SCI_GETCARETPERIOD)](int) {
        const long line = SendScintilla(SCI_LINEFROMPOSITION, SendScintilla(SCI_GETCURRENTPOS));
        const long period = SendScintilla(SCI_LINELENGTH, line) > LongLine ? 0 : blink;
        if (SendScintilla(SCI_GETCARETPERIOD) != period)
            SendScintilla(SCI_SETCARETPERIOD, period);
    });
    // A skin's background-color and color for the editor arrive as Base and Text.
    setBackgroundRole(QPalette::Base);
    setForegroundRole(QPalette::Text);
}

namespace {
const QString BytesFormat = QStringLiteral("application/x-marquill-bytes");
}

QMimeData *SciWidget::toMimeData(const QByteArray &text, bool rectangular) const
{
    QMimeData *data = QsciScintillaBase::toMimeData(text, rectangular);
    data->setData(BytesFormat, text);
    return data;
}

QByteArray SciWidget::fromMimeData(const QMimeData *source, bool &rectangular) const
{
    const QByteArray text = QsciScintillaBase::fromMimeData(source, rectangular);
    // Only bytes that belong to the text beside them: what they show must be that very text.
    if (source->hasFormat(BytesFormat)) {
        const QByteArray bytes = source->data(BytesFormat);
        if (QString::fromUtf8(bytes) == QString::fromUtf8(text))
            return bytes;
    }
    return text;
}

const char *SciWidget::rangePointer(long position, long length) const
{
    return reinterpret_cast<const char *>(
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(position), length));
}

void SciWidget::refillStarts(bool valid)
{
    pending_ = true;
    change_ = ByteChange{};
    change_.known = false;
    change_.valid = valid;
}

// Grows the stretch that the change covers so far, [start, end) of the buffer as it is now,
// with the bytes it had before the change, and applies one more insertion or removal to it.
// Bytes outside the stretch are still those of the text before the change.
void SciWidget::before(bool insertion, long position, long length)
{
    if (!pending_) {
        pending_ = true;
        change_ = ByteChange{position, position, QByteArray(), true};
    }
    if (!change_.known)
        return;
    const long to = insertion ? position : position + length;
    if (position < change_.start) {
        change_.removed.prepend(rangePointer(position, change_.start - position), change_.start - position);
        change_.start = position;
    }
    if (to > change_.end) {
        change_.removed.append(rangePointer(change_.end, to - change_.end), to - change_.end);
        change_.end = to;
    }
    change_.end += insertion ? length : -length;
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
        // The line numbers: on the paper, in a shade between the text and the paper.
        const QColor base = pal.color(QPalette::Base), text = pal.color(QPalette::Text);
        const QColor number((base.red() + text.red() * 2) / 3, (base.green() + text.green() * 2) / 3,
                            (base.blue() + text.blue() * 2) / 3);
        SendScintilla(SCI_STYLESETBACK, STYLE_LINENUMBER, bgr(base.darker(104)));
        SendScintilla(SCI_STYLESETFORE, STYLE_LINENUMBER, bgr(number));
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

void SciWidget::keyPressEvent(QKeyEvent *e)
{
    // A Ctrl or Alt combination runs the widget's command, if it has one, and never types its
    // character. Ctrl and Alt together stay as they are: some keyboards send AltGr that way.
    const Qt::KeyboardModifiers held = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if ((held == Qt::ControlModifier || held == Qt::AltModifier) && !e->text().isEmpty()) {
        QKeyEvent bare(e->type(), e->key(), e->modifiers(), e->nativeScanCode(), e->nativeVirtualKey(),
                       e->nativeModifiers(), QString(), e->isAutoRepeat(), static_cast<quint16>(e->count()));
        bare.setAccepted(false);
        QsciScintillaBase::keyPressEvent(&bare);
        e->setAccepted(bare.isAccepted());
        return;
    }
    QsciScintillaBase::keyPressEvent(e);
}

void SciWidget::flush()
{
    if (depth_ == 0 && pending_) {
        pending_ = false;
        ByteChange change = std::move(change_);
        change_ = ByteChange{};
        if (change.known) {
            widen(change);
            index_.replaced(change.start, change.end, change.removed);
        } else if (!change.valid) {
            index_.recount(); // otherwise counted while it was appended
        }
        if (onAccessibleChange)
            onAccessibleChange(&change);
        if (onChanged)
            onChanged(change);
    }
}

// A kept byte of a broken sequence can join the bytes across a change into one character, or
// a character can fall apart: the stretch then takes in the characters at its edges, so that
// it covers whole characters before and after the change.
void SciWidget::widen(ByteChange &change) const
{
    long from = change.start, to = change.end;
    index_.wholeCharacters(from, to);
    if (from == change.start && to == change.end)
        return;
    QByteArray removed(rangePointer(from, change.start - from), change.start - from);
    removed += change.removed;
    removed.append(rangePointer(change.end, to - change.end), to - change.end);
    change = ByteChange{from, to, std::move(removed), true};
}

QtEditor::QtEditor(QWidget *parent, const QFont &font, double left, double top, double width, double height)
    : sci_(new SciWidget(parent)), font_(font), left_(left), top_(top), width_(width), height_(height)
{
    sci_->hide();
    newDocument();
    send(Sci::SCI_USEPOPUP, Sci::SC_POPUP_NEVER);
    for (int margin = 0; margin < 5; ++margin)
        send(Sci::SCI_SETMARGINWIDTHN, margin, 0);
    send(Sci::SCI_SETSCROLLWIDTH, 1);
    send(Sci::SCI_SETSCROLLWIDTHTRACKING, 1);
    send(Sci::SCI_SETWRAPMODE, Sci::SC_WRAP_NONE);

    const QByteArray family = font_.family().toUtf8();
    sci_->SendScintilla(Sci::SCI_STYLESETFONT, Sci::STYLE_DEFAULT, family.constData());
    send(Sci::SCI_STYLESETSIZEFRACTIONAL, Sci::STYLE_DEFAULT,
         std::lround(font_.pointSizeF() * static_cast<int>(Sci::SC_FONT_SIZE_MULTIPLIER)));
    send(Sci::SCI_STYLESETBOLD, Sci::STYLE_DEFAULT, font_.bold() ? 1 : 0);
    send(Sci::SCI_STYLECLEARALL);

    // Keys that would edit behind the program's back, undo on their own, or take the
    // program's shortcuts.
    const auto clearCtrl = [&](int key) {
        send(Sci::SCI_CLEARCMDKEY, key + (ModCtrl << 16));
        send(Sci::SCI_CLEARCMDKEY, key + ((ModCtrl | ModShift) << 16));
    };
    for (int key : {'L', 'T', 'D', 'U', 'Y'})
        clearCtrl(key);
    for (const Command &command : Commands) {
        if (command.key)
            clearCtrl(command.key);
    }
    send(Sci::SCI_CLEARCMDKEY, Sci::SCK_BACK + (ModAlt << 16));
    send(Sci::SCI_CLEARCMDKEY, Sci::SCK_BACK + ((ModAlt | ModShift) << 16));
    for (int key : {Sci::SCK_ADD, Sci::SCK_SUBTRACT, Sci::SCK_DIVIDE})
        send(Sci::SCI_CLEARCMDKEY, key + (ModCtrl << 16));
    send(Sci::SCI_CLEARCMDKEY, Sci::SCK_INSERT);

    place();
    sci_->onChanged = [this](const ByteChange &change) { this->changed(change); };
    // Zooming scales the numbers too.
    QObject::connect(sci_, &QsciScintillaBase::SCN_ZOOM, sci_, [this] { fitLineNumbers(true); });
}

QtEditor::~QtEditor()
{
    QPointer<SciWidget> guard(sci_);
    if (guard) {
        guard->onChanged = nullptr;
        delete guard.data();
    }
}

void QtEditor::newDocument()
{
    // A document without style bytes halves the memory a large file takes. Replacing the
    // document (rather than emptying it) gives its memory back.
    const long doc = send(Sci::SCI_CREATEDOCUMENT, 0, Sci::SC_DOCUMENTOPTION_STYLES_NONE);
    send(Sci::SCI_SETDOCPOINTER, 0, doc);
    send(Sci::SCI_RELEASEDOCUMENT, 0, doc);
    send(Sci::SCI_SETCODEPAGE, Sci::SC_CP_UTF8);
    send(Sci::SCI_SETEOLMODE, Sci::SC_EOL_CRLF);
    // The program keeps its own history.
    send(Sci::SCI_SETUNDOCOLLECTION, 0);
    send(Sci::SCI_EMPTYUNDOBUFFER);
    send(Sci::SCI_SETSCROLLWIDTH, 1);
    sci_->forgetPositions();
}

namespace {

QString fromBuffer(const char *data, qsizetype length)
{
    return RawUtf8::toText(QByteArrayView(data, length));
}

constexpr long BlockBytes = 1 << 20;

// Whether the machine can hold a buffer of this size; refusing is better than being killed
// half-way, which takes every other unsaved document along.
bool enoughMemoryFor(qint64 bytes)
{
    const qint64 available = availableMemory();
    return available < 0 || available > bytes + bytes / 4;
}

} // namespace

QString SciWidget::textBetween(long from, long to) const
{
    const long length = SendScintilla(SCI_GETLENGTH);
    from = std::clamp(from, 0L, length);
    to = std::clamp(to, from, length);
    return fromBuffer(rangePointer(from, to - from), to - from);
}

void SciWidget::countAppended(QByteArrayView block)
{
    // Valid UTF-8 in whole characters is counted while it is in the cache; anything else is
    // counted once the refill is done.
    if (!change_.valid || change_.known)
        return;
    if (RawUtf8::cutOffBytes(block) > 0) {
        change_.valid = false; // a character split between blocks
        return;
    }
    index_.appended(block);
}

void QtEditor::changed(const ByteChange &change)
{
    if (numbers_)
        fitLineNumbers(false);
    if (wrap_)
        fitWrap();
    TextChange c;
    c.known = change.known && !bulk_;
    if (c.known) {
        c.start = toUtf16(change.start);
        c.removed = fromBuffer(change.removed.constData(), change.removed.size());
        c.inserted = sci_->textBetween(change.start, change.end);
    }
    notifyChanged(std::move(c));
}

void QtEditor::replaceUtf8(qint64 from, qint64 to, QByteArrayView bytes)
{
    // Many pieces in one replacement: decoding the stretch to UTF-16 twice for the notification
    // would cost more than the replacement itself, and nobody reads it.
    const QScopedValueRollback<bool> bulk(bulk_, true);
    sci_->asOneChange([&] {
        send(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(from), static_cast<long>(to));
        sci_->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<uintptr_t>(bytes.size()), bytes.data());
    });
}

QString QtEditor::text() const
{
    const long length = send(Sci::SCI_GETLENGTH);
    return fromBuffer(sci_->rangePointer(0, length), length);
}

void QtEditor::setText(const QString &text)
{
    const QByteArray bytes = RawUtf8::fromText(text);
    sci_->asOneChange([&] {
        send(Sci::SCI_CLEARALL);
        // APPENDTEXT with a length keeps NUL characters; SETTEXT would stop at the first.
        if (!bytes.isEmpty())
            sci_->SendScintilla(Sci::SCI_APPENDTEXT, static_cast<uintptr_t>(bytes.size()), bytes.constData());
        send(Sci::SCI_SETSCROLLWIDTH, 1);
        send(Sci::SCI_GOTOPOS, 0);
    });
}

void QtEditor::loadUtf8(qint64 reserve, const std::function<void(const Append &append)> &fill, bool valid)
{
    sci_->asOneChange([&] {
        sci_->refillStarts(valid);
        newDocument();
        bool failed = !enoughMemoryFor(reserve);
        if (!failed) {
            // A little more than the text: a buffer filled to the last byte grows (and is copied)
            // at the last append.
            send(Sci::SCI_ALLOCATE, static_cast<unsigned long>(reserve + reserve / 256 + 4096));
            try {
                fill([&](QByteArrayView block) {
                    if (!failed && !block.isEmpty()) {
                        sci_->SendScintilla(Sci::SCI_APPENDTEXT, static_cast<uintptr_t>(block.size()), block.data());
                        sci_->countAppended(block);
                    }
                    failed = failed || send(Sci::SCI_GETSTATUS) == Sci::SC_STATUS_BADALLOC;
                });
            } catch (...) {
                // Half a file is no document: the editor stays empty.
                newDocument();
                throw;
            }
        }
        send(Sci::SCI_GOTOPOS, 0);
        if (failed) {
            newDocument();
            send(Sci::SCI_SETSTATUS, Sci::SC_STATUS_OK);
            throw Failure(QCoreApplication::translate("Failure", "Out of memory"));
        }
    });
}

void QtEditor::release()
{
    newDocument();
}

QByteArray QtEditor::utf8() const
{
    // Read around the gap rather than moving it: a copy costs only the copy.
    QByteArray out;
    out.reserve(send(Sci::SCI_GETLENGTH));
    readUtf8([&](QByteArrayView block) { out.append(block); });
    return out;
}

int QtEditor::textLength() const
{
    return sci_->utf16Length();
}

QString QtEditor::textRange(int start, int length) const
{
    // Exactly the units asked for, even where an end falls inside a surrogate pair.
    const int total = textLength();
    const int from = std::clamp(start, 0, total);
    const int to = static_cast<int>(std::clamp<qint64>(qint64(from) + std::max(0, length), from, total));
    int first = from, last = to;
    const long begin = sci_->toBytes(from, &first);
    long end = sci_->toBytes(to, &last);
    if (last < to)
        end = sci_->toBytes(to + 1);
    return sci_->textBetween(begin, end).mid(from - first, to - from);
}

long QtEditor::snap(long bytePos) const
{
    // Never leave a position between the "\r" and the "\n" of a line break.
    if (bytePos > 0 && send(Sci::SCI_GETCHARAT, bytePos - 1) == '\r' && send(Sci::SCI_GETCHARAT, bytePos) == '\n')
        return bytePos - 1;
    return bytePos;
}

int QtEditor::lineCount() const
{
    return int(send(Sci::SCI_GETLINECOUNT));
}

int QtEditor::lineOfPosition(int position) const
{
    return int(send(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(toBytes(std::max(0, position)))));
}

int QtEditor::lineStart(int line) const
{
    const long last = send(Sci::SCI_GETLINECOUNT) - 1;
    const long clipped = std::clamp<long>(line, 0, last);
    return toUtf16(send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(clipped)));
}

int QtEditor::caretPosition() const
{
    return toUtf16(send(Sci::SCI_GETCURRENTPOS));
}

int QtEditor::zoomPercent() const
{
    // Scintilla's zoom adds points to every style's size.
    const double size = font_.pointSizeF() > 0 ? font_.pointSizeF() : 10.0;
    return int(std::lround(100.0 * (size + double(send(Sci::SCI_GETZOOM))) / size));
}

void QtEditor::setViewHandler(std::function<void()> handler)
{
    Editor::setViewHandler(std::move(handler));
    QObject::disconnect(viewUpdates_);
    QObject::disconnect(viewZoom_);
    if (!onView_)
        return;
    // Once per event-loop turn, however many keys and moves the turn brought.
    const auto notify = [this] {
        if (viewPending_)
            return;
        viewPending_ = true;
        QTimer::singleShot(0, sci_, [this] {
            viewPending_ = false;
            if (onView_)
                onView_();
        });
    };
    viewUpdates_ = QObject::connect(sci_, &QsciScintillaBase::SCN_UPDATEUI, sci_, [notify](int updated) {
        if (updated & (Sci::SC_UPDATE_CONTENT | Sci::SC_UPDATE_SELECTION))
            notify();
    });
    viewZoom_ = QObject::connect(sci_, &QsciScintillaBase::SCN_ZOOM, sci_, notify);
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
    return fromBuffer(sci_->rangePointer(start, end - start), end - start);
}

void QtEditor::readBlocks(long from, const std::function<bool(long position, QByteArrayView block)> &take) const
{
    const long length = send(Sci::SCI_GETLENGTH);
    long pos = from;
    while (pos < length) {
        // Ranges on one side of the gap are read where they lie, without moving the text.
        const long gap = send(Sci::SCI_GETGAPPOSITION);
        long end = std::min(length, pos + BlockBytes);
        if (pos < gap && end > gap)
            end = gap;
        // End on a whole character, and not between "\r" and "\n". A character takes at most
        // four bytes: after three trailing bytes in a row the next one stands alone.
        const auto byteAt = [&](qsizetype at) { return static_cast<unsigned char>(send(Sci::SCI_GETCHARAT, at)); };
        long cut = end < length ? static_cast<long>(RawUtf8::characterStart(end, pos, byteAt)) : end;
        if (cut < length && cut > pos && send(Sci::SCI_GETCHARAT, cut) == '\n' &&
            send(Sci::SCI_GETCHARAT, cut - 1) == '\r')
            --cut;
        if (cut == pos) // a character or line break that spans the gap: a few bytes across it
            cut = std::min(length, pos + 8);
        if (!take(pos, QByteArrayView(sci_->rangePointer(pos, cut - pos), cut - pos)))
            return;
        pos = cut;
    }
}

qint64 QtEditor::utf8Length() const
{
    return send(Sci::SCI_GETLENGTH);
}

void QtEditor::readUtf8At(qint64 from, qint64 length, const std::function<void(QByteArrayView bytes)> &take) const
{
    const long total = send(Sci::SCI_GETLENGTH);
    const long start = static_cast<long>(std::clamp<qint64>(from, 0, total));
    const long n = static_cast<long>(std::clamp<qint64>(length, 0, total - start));
    take(QByteArrayView(sci_->rangePointer(start, n), n));
}

void QtEditor::readUtf8(const std::function<void(QByteArrayView block)> &take) const
{
    readBlocks(0, [&](long, QByteArrayView block) {
        take(block);
        return true;
    });
}

void QtEditor::readText(int from, const std::function<bool(int position, QStringView block)> &take) const
{
    // A position inside a surrogate pair starts the text at the pair.
    const long start = toBytes(from);
    int position = toUtf16(start);
    readBlocks(start, [&](long, QByteArrayView block) {
        const QString text = RawUtf8::toText(block);
        const bool more = take(position, text);
        position += static_cast<int>(text.size());
        return more;
    });
}

void QtEditor::setSelText(const QString &text)
{
    const QByteArray bytes = RawUtf8::fromText(text);
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

int QtEditor::firstVisibleLine() const
{
    return int(send(Sci::SCI_GETFIRSTVISIBLELINE));
}

void QtEditor::setFirstVisibleLine(int line)
{
    send(Sci::SCI_SETFIRSTVISIBLELINE, line);
}

void QtEditor::hideSelection(bool hide)
{
    send(Sci::SCI_HIDESELECTION, hide ? 1 : 0);
}

void QtEditor::setAccessibleName(const QString &name)
{
    sci_->setAccessibleName(name);
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

void QtEditor::cut()
{
    sci_->asOneChange([&] { send(Sci::SCI_CUT); });
}

void QtEditor::copy()
{
    send(Sci::SCI_COPY);
}

void QtEditor::paste()
{
    sci_->asOneChange([&] { send(Sci::SCI_PASTE); });
}

void QtEditor::deleteSelection()
{
    // SCI_CLEAR without a selection would take the character after the caret.
    if (send(Sci::SCI_GETSELECTIONEND) > send(Sci::SCI_GETSELECTIONSTART))
        sci_->asOneChange([&] { send(Sci::SCI_CLEAR); });
}

bool QtEditor::canPaste() const
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    return data && data->hasText();
}

int QtEditor::zoom() const
{
    return static_cast<int>(send(Sci::SCI_GETZOOM));
}

void QtEditor::setZoom(int steps)
{
    if (send(Sci::SCI_GETZOOM) != steps)
        send(Sci::SCI_SETZOOM, static_cast<unsigned long>(steps));
}

void QtEditor::setWordWrap(bool on)
{
    wrap_ = on;
    fitWrap();
}

void QtEditor::fitWrap()
{
    // Wrapping lays out every line before the one shown: Ctrl+End in 100 MB would take minutes.
    // A large document is shown unwrapped, as the option asks for the others.
    const long mode = wrap_ && send(Sci::SCI_GETLENGTH) <= WrapLimit ? Sci::SC_WRAP_WORD : Sci::SC_WRAP_NONE;
    if (send(Sci::SCI_GETWRAPMODE) != mode)
        send(Sci::SCI_SETWRAPMODE, static_cast<unsigned long>(mode));
}

void QtEditor::setLineNumbers(bool on)
{
    if (on == numbers_)
        return;
    numbers_ = on;
    numberDigits_ = 0;
    if (!on) {
        send(Sci::SCI_SETMARGINWIDTHN, 0, 0);
        send(Sci::SCI_SETMARGINLEFT, 0, textGap_);
        return;
    }
    textGap_ = send(Sci::SCI_GETMARGINLEFT);
    send(Sci::SCI_SETMARGINTYPEN, 0, Sci::SC_MARGIN_NUMBER);
    fitLineNumbers(true);
}

void QtEditor::fitLineNumbers(bool always)
{
    if (!numbers_)
        return;
    int digits = 1;
    for (long lines = send(Sci::SCI_GETLINECOUNT); lines >= 10; lines /= 10)
        ++digits;
    if (digits == numberDigits_ && !always)
        return;
    numberDigits_ = digits;
    // As wide as the largest number of that many digits and a digit more, and half a digit
    // between the numbers and the text.
    const long digit = sci_->SendScintilla(Sci::SCI_TEXTWIDTH, Sci::STYLE_LINENUMBER, "9");
    send(Sci::SCI_SETMARGINWIDTHN, 0, digit * (digits + 1));
    send(Sci::SCI_SETMARGINLEFT, 0, std::max(textGap_, digit / 2));
}

QPoint SciWidget::caretPoint() const
{
    const long pos = SendScintilla(SCI_GETCURRENTPOS);
    const long line = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos));
    const int x = static_cast<int>(SendScintilla(SCI_POINTXFROMPOSITION, 0UL, pos));
    const int y = static_cast<int>(SendScintilla(SCI_POINTYFROMPOSITION, 0UL, pos) +
                                   SendScintilla(SCI_TEXTHEIGHT, static_cast<unsigned long>(line)));
    const QPoint inViewport(std::clamp(x, 0, viewport()->width()), std::clamp(y, 0, viewport()->height()));
    return viewport()->mapTo(this, inViewport);
}
