// The main window's formatting: the character and paragraph commands, the three combo boxes, the list
// commands, and the controls that follow the caret. A command never writes a style: it asks the editor
// to convert the selection's styles and answers the editor's questions from the sheet (FormatCommands).
// While the controls are being set from the caret (SyncingControls) no control changes the document.
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

#include "app/DocViewEditWidget.h"
#include "app/FormED.h"
#include "app/FormatDialogs.h"
#include "editing/DocViewEdit.h"
#include "lists/ListBuilders.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtText.h"
#include "tools/Hyperlinks.h"

namespace xq {

namespace {

constexpr const char* SizeBoxCommitName = "SizeBoxCommit";

/// The size box commits its text on Enter (the key goes no further) and offers it when it loses the
/// focus.
class TSizeBoxCommit : public QObject {
public:
    TSizeBoxCommit(QComboBox* box, std::function<void()> enter, std::function<void()> leave)
        : QObject(box), Enter_(std::move(enter)), Leave_(std::move(leave))
    {
        setObjectName(QString::fromLatin1(SizeBoxCommitName));
        box->installEventFilter(this);
        if (box->lineEdit())
            box->lineEdit()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                Enter_();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut && watched == parent()) {
            Leave_();
        }
        return false;
    }

private:
    std::function<void()> Enter_;
    std::function<void()> Leave_;
};

/// The pixels per inch that document lengths and font heights are measured in.
constexpr int ScreenPixelsPerInch = 96;

} // namespace

void TFormED::ConnectFormatting()
{
    FormatDialogs_ = Services_.FormatDialogs;
    if (!FormatDialogs_) {
        OwnFormatDialogs_ = std::make_unique<TQtFormatDialogs>(this);
        FormatDialogs_ = OwnFormatDialogs_.get();
    }
    const auto action = [this](const char* name) {
        auto* found = findChild<QAction*>(QString::fromLatin1(name));
        Q_ASSERT(found);
        return found;
    };
    mitBackColor = action("mitBackColor");
    mitParaColor = action("mitParaColor");
    mitIndentInc = action("mitIndentInc");
    mitIndentDec = action("mitIndentDec");
    mitFont = action("mitFont");
    mitSingleFrame = action("mitSingleFrame");
    mitDoubleFrame = action("mitDoubleFrame");
    mitBullets = action("mitBullets");
    mitNumbering = action("mitNumbering");
    btnTextColor = action("btnTextColor");
    btnIndentInc = action("btnIndentInc");
    btnIndentDec = action("btnIndentDec");

    for (QAction* a : {mitBold, mitItalic, mitUnderline, mitStrikeOut, mitOverline, mitAllCaps, mitSpacing100,
                       mitSpacing150, mitSpacing200, mitBackColor, mitParaColor, mitIndentInc, mitIndentDec, mitFont,
                       mitSingleFrame, mitDoubleFrame, mitBullets, mitNumbering, btnBold, btnItalic, btnUnderline,
                       btnTextColor, btnIndentInc, btnIndentDec})
        a->setEnabled(true);
    for (QAction* a : btnAlign)
        a->setEnabled(true);
    for (QComboBox* box : {cmbFont, cmbFontSize, cmbPara})
        box->setEnabled(true);

    // Character commands: the click has inverted the check mark, the conversion reads it.
    connect(mitBold, &QAction::triggered, this, [this] { CharacterCommand(mitBold, tcBold); });
    connect(mitItalic, &QAction::triggered, this, [this] { CharacterCommand(mitItalic, tcItalic); });
    connect(mitUnderline, &QAction::triggered, this, [this] { CharacterCommand(mitUnderline, tcUnderline); });
    connect(mitStrikeOut, &QAction::triggered, this, [this] { CharacterCommand(mitStrikeOut, tcStrikeOut); });
    connect(mitAllCaps, &QAction::triggered, this, [this] {
        CaseOrOverline = coAllCaps;
        CharacterCommand(mitAllCaps, tcCaseOrOverline);
    });
    connect(mitOverline, &QAction::triggered, this, [this] {
        CaseOrOverline = coOverline;
        CharacterCommand(mitOverline, tcCaseOrOverline);
    });
    // The toggle buttons act through their menu items, whose check marks they then show.
    const std::pair<QAction*, QAction*> toggles[] = {{btnBold, mitBold}, {btnItalic, mitItalic}, {btnUnderline, mitUnderline}};
    for (const auto& [button, item] : toggles)
        connect(button, &QAction::triggered, this, [button, item] {
            item->trigger();
            button->setChecked(item->isChecked());
        });
    connect(mitFont, &QAction::triggered, this, [this] { Guarded([this] { FontDialogCommand(); }); });
    connect(btnTextColor, &QAction::triggered, this, [this] { Guarded([this] { TextColorCommand(); }); });
    connect(mitBackColor, &QAction::triggered, this, [this] { Guarded([this] { TextBackColorCommand(); }); });

    // Paragraph commands.
    for (int i = 0; i < int(btnAlign.size()); ++i)
        connect(btnAlign[std::size_t(i)], &QAction::triggered, this, [this, i] { ApplyParaStyle(i); });
    connect(mitSingleFrame, &QAction::triggered, this, [this] { FrameCommand(4); });
    connect(mitDoubleFrame, &QAction::triggered, this, [this] { FrameCommand(5); });
    connect(mitIndentInc, &QAction::triggered, this, [this] { ParaConversion(pcIndentIncrease); });
    connect(mitIndentDec, &QAction::triggered, this, [this] { ParaConversion(pcIndentDecrease); });
    connect(btnIndentInc, &QAction::triggered, mitIndentInc, &QAction::trigger);
    connect(btnIndentDec, &QAction::triggered, mitIndentDec, &QAction::trigger);
    connect(mitParaColor, &QAction::triggered, this, [this] { Guarded([this] { ParaColorCommand(); }); });
    connect(mitSpacing100, &QAction::triggered, this, [this] { ParaConversion(pcSpacing100); });
    connect(mitSpacing150, &QAction::triggered, this, [this] { ParaConversion(pcSpacing150); });
    connect(mitSpacing200, &QAction::triggered, this, [this] { ParaConversion(pcSpacing200); });

    // Lists.
    connect(mitBullets, &QAction::triggered, this, [this] { Guarded([this] { BulletsCommand(); }); });
    connect(mitNumbering, &QAction::triggered, this, [this] { Guarded([this] { NumberingCommand(); }); });

    // The combo boxes react to the user's choices only; the caret's updates call their handlers.
    connect(cmbFont, &QComboBox::activated, this, [this] { cmbFontClick(); });
    connect(cmbFontSize, &QComboBox::activated, this, [this] { cmbFontSizeClick(); });
    new TSizeBoxCommit(cmbFontSize, [this] { cmbFontSizeClick(); }, [this] { cmbFontSizeExit(); });
    connect(cmbPara, &QComboBox::activated, this, [this] { cmbParaClick(); });

    TDocViewEdit& edit = Doc_->Editor;
    edit.OnStyleConversion = [this](TCustomDocViewEdit&, int styleNo, int userData, bool, int& newStyleNo) {
        newStyleNo = IsHyperlinkConversion(userData) ? HyperlinkTextStyle(Doc_->RStyle, styleNo, userData)
                                                     : ConvertTextStyle(Doc_->RStyle, styleNo, userData, TextConversionInput());
    };
    edit.OnParaStyleConversion = [this](TCustomDocViewEdit&, int styleNo, int userData, bool, int& newStyleNo) {
        TParaConversionInput input;
        input.ParaBackColor = DialogParaColor_;
        newStyleNo = ConvertParaStyle(Doc_->RStyle, styleNo, userData, input);
    };
    edit.OnCurParaStyleChanged = [this](TCustomDocViewEdit&) { rveCurParaStyleChanged(); };
}

void TFormED::DisconnectFormatting()
{
    // A box losing the focus while the window goes would commit into a half-destroyed window.
    delete cmbFontSize->findChild<QObject*>(QString::fromLatin1(SizeBoxCommitName), Qt::FindDirectChildrenOnly);
    TDocViewEdit& edit = Doc_->Editor;
    edit.OnCurParaStyleChanged = nullptr;
    edit.OnStyleConversion = nullptr;
    edit.OnParaStyleConversion = nullptr;
}

// --- Commands ----------------------------------------------------------------------------------------

TTextConversionInput TFormED::TextConversionInput() const
{
    TTextConversionInput input;
    input.Bold = mitBold->isChecked();
    input.Italic = mitItalic->isChecked();
    input.Underline = mitUnderline->isChecked();
    input.StrikeOut = mitStrikeOut->isChecked();
    input.AllCaps = mitAllCaps->isChecked();
    input.Overline = mitOverline->isChecked();
    input.CaseOrOverline = CaseOrOverline;
    input.ConvFontName = ConvFontName;
    input.ConvFontSize = ConvFontSize;
    input.DialogFont = DialogFont_;
    input.TextColor = DialogTextColor_;
    input.TextBackColor = DialogBackColor_;
    return input;
}

void TFormED::TextConversion(int code)
{
    EditCommand([code](TDocViewEdit& e) { e.ConvertTextStyles(code); });
}

void TFormED::ParaConversion(int code)
{
    EditCommand([code](TDocViewEdit& e) { e.ConvertParaStyles(code); });
}

void TFormED::ApplyParaStyle(int paraNo)
{
    EditCommand([paraNo](TDocViewEdit& e) { e.SetParaStyleOfSelection(paraNo); });
}

void TFormED::CharacterCommand(QAction* item, int code)
{
    TextConversion(code);
    // The buttons show the marks of their items, also after a click on the item.
    if (item == mitBold)
        btnBold->setChecked(item->isChecked());
    else if (item == mitItalic)
        btnItalic->setChecked(item->isChecked());
    else if (item == mitUnderline)
        btnUnderline->setChecked(item->isChecked());
}

void TFormED::FontDialogCommand()
{
    const TRVStyle& sheet = Doc_->RStyle;
    const int styleNo = Doc_->Editor.CurrentTextStyle();
    TFontDescription font = sheet.TextStyles.StyleAt(styleNo).ToFont();
    if (!FormatDialogs_->ChooseFont(font))
        return;
    DialogFont_ = font;
    TextConversion(tcFontDialog);
}

void TFormED::TextColorCommand()
{
    TColor color = ColorToRGB(Doc_->RStyle.TextStyles.StyleAt(Doc_->Editor.CurrentTextStyle()).Color);
    if (!FormatDialogs_->ChooseColor(color))
        return;
    DialogTextColor_ = color;
    TextConversion(tcColor);
}

void TFormED::TextBackColorCommand()
{
    const TColor back = Doc_->RStyle.TextStyles.StyleAt(Doc_->Editor.CurrentTextStyle()).BackColor;
    TColor color = back == clNone ? clWhite : ColorToRGB(back);
    if (!FormatDialogs_->ChooseColor(color))
        return;
    DialogBackColor_ = color;
    TextConversion(tcBackColor);
}

void TFormED::ParaColorCommand()
{
    const TColor back = Doc_->RStyle.ParaStyles.StyleAt(Doc_->Editor.CurrentParaStyle()).Background.Color;
    TColor color = back == clNone ? clWhite : ColorToRGB(back);
    if (!FormatDialogs_->ChooseColor(color))
        return;
    DialogParaColor_ = color;
    ParaConversion(pcBackColor);
}

void TFormED::FocusEditorWhenVisible()
{
    // Not while the controls follow the caret: the focus stays where the user has it.
    if (isVisible() && !Run_.SyncingControls)
        rve->setFocus(Qt::OtherFocusReason);
}

void TFormED::cmbFontClick()
{
    // The entry chosen: applying the size first may set the box to the caret's font meanwhile.
    const int entry = cmbFont->currentIndex();
    const QString chosen = cmbFont->currentText();
    FillFontSizes();
    if (!Run_.SyncingControls && entry >= 0) {
        ConvFontName = chosen.toStdString();
        TextConversion(tcFontName);
    }
    FocusEditorWhenVisible();
}

void TFormED::FillFontSizes()
{
    const QString name = cmbFont->currentText();
    const QString family = QtFamilyFor(name.toStdString());
    const bool scalable = name.isEmpty() || QFontDatabase::isScalable(family);
    std::vector<TFontHeight> heights;
    if (!scalable)
        for (int points : QFontDatabase::pointSizes(family))
            heights.push_back({(points * ScreenPixelsPerInch + 36) / 72, 0});

    const QString text = cmbFontSize->currentText();
    {
        const QSignalBlocker quiet(cmbFontSize);
        cmbFontSize->clear();
        for (int size : FontSizeList(scalable, heights, ScreenPixelsPerInch))
            cmbFontSize->addItem(QString::number(size));
        cmbFontSize->setCurrentIndex(cmbFontSize->findText(text));
        cmbFontSize->setEditText(text);
    }
    cmbFontSizeClick();
}

void TFormED::cmbFontSizeClick()
{
    // Committing moves the focus to the editor, and the box's losing it commits again: once is enough.
    if (InSizeCommit_)
        return;
    InSizeCommit_ = true;
    SizeBoxText_ = cmbFontSize->currentText();
    const std::string text = SizeBoxText_.toStdString();
    if (!text.empty() && !Run_.SyncingControls) {
        ConvFontSize = CommandFontSize(text);
        TextConversion(tcFontSize);
    }
    FocusEditorWhenVisible();
    InSizeCommit_ = false;
}

void TFormED::cmbFontSizeExit()
{
    // Only what the user typed is applied: the size shown is the caret's, and a selection of several
    // sizes would all be set to it by merely passing through the box.
    if (cmbFontSize->currentText() != SizeBoxText_)
        cmbFontSizeClick();
}

void TFormED::cmbParaClick()
{
    if (!Run_.SyncingControls && cmbPara->currentIndex() >= 0)
        ApplyParaStyle(cmbPara->currentIndex());
    FocusEditorWhenVisible();
    PressAlignment(Doc_->Editor.CurrentParaStyle(), false);
}

void TFormED::FrameCommand(int paraNo)
{
    if (Run_.SyncingControls)
        return;
    ApplyParaStyle(paraNo);
}

void TFormED::BulletsCommand()
{
    // The check mark as the caret left it: the click has inverted the action's own.
    if (ListState.Bullets) {
        EditCommand([](TDocViewEdit& e) { e.RemoveLists(); });
    } else {
        const int listNo = BulletsCommandList(Doc_->RStyle, cmbFontSize->currentText().toStdString());
        EditCommand([listNo](TDocViewEdit& e) { e.ApplyList(listNo, 0, 1, false); });
    }
    SyncCaretListState();
}

void TFormED::NumberingCommand()
{
    // The selection and the caret of the editor that holds them: a table cell has its own.
    TCustomDocViewEdit& edit = Doc_->Editor.InnermostEditor();
    if (ListState.Numbering) {
        EditCommand([](TDocViewEdit& e) { e.RemoveLists(); });
    } else {
        TRVDocPos first, last;
        if (!edit.GetOrderedSelectionDoc(first, last))
            first = last = edit.CaretDocPos();
        const std::string font = cmbFont->count() == 0 ? std::string() : cmbFont->currentText().toStdString();
        const int listNo = NumberingCommandList(Doc_->RStyle, edit.RVData(), first.ItemNo, last.ItemNo,
                                                cmbFontSize->currentText().toStdString(), font);
        EditCommand([listNo](TDocViewEdit& e) { e.ApplyList(listNo, 0, 1, false); });
    }
    SyncCaretListState();
}

// --- The controls follow the caret ---------------------------------------------------------------------

void TFormED::PressAlignment(int paraNo, bool byAlignment)
{
    const int button = byAlignment ? AlignmentButtonOf(Doc_->RStyle, paraNo) : paraNo;
    if (button >= 0 && button < int(btnAlign.size()))
        btnAlign[std::size_t(button)]->setChecked(true);
}

void TFormED::SyncTextControls(int textStyleNo, int paraNo)
{
    Run_.SyncingControls = true;
    PressAlignment(paraNo, false);
    const TFontInfos& styles = Doc_->RStyle.TextStyles;
    if (styles.IsValidIndex(textStyleNo)) {
        const TFontInfo& font = styles[textStyleNo];
        cmbFont->setCurrentIndex(cmbFont->findText(FromUtf8(font.FontName), Qt::MatchFixedString));
        cmbFontClick();
        // The entry equal to the size is selected with it: a box whose text differs from its
        // selected entry picks the entry of that text when it loses the focus, as if the user had.
        const QString size = QString::number(font.Size);
        cmbFontSize->setCurrentIndex(cmbFontSize->findText(size));
        cmbFontSize->setEditText(size);
        SizeBoxText_ = size;
        mitBold->setChecked(font.Style.Contains(fsBold));
        mitItalic->setChecked(font.Style.Contains(fsItalic));
        mitUnderline->setChecked(font.Style.Contains(fsUnderline));
        mitStrikeOut->setChecked(font.Style.Contains(fsStrikeOut));
        mitAllCaps->setChecked(font.StyleEx.Contains(rvfsAllCaps));
        if (font.StyleEx.Contains(rvfsAllCaps))
            CaseOrOverline = coAllCaps;
        mitOverline->setChecked(font.StyleEx.Contains(rvfsOverline));
        if (font.StyleEx.Contains(rvfsOverline))
            CaseOrOverline = coOverline;
        btnBold->setChecked(mitBold->isChecked());
        btnItalic->setChecked(mitItalic->isChecked());
        btnUnderline->setChecked(mitUnderline->isChecked());
    }
    Run_.SyncingControls = false;
    UpdateUndoControls();
}

void TFormED::SyncParaControls(int paraNo)
{
    cmbPara->setCurrentIndex(paraNo >= 0 && paraNo < cmbPara->count() ? paraNo : -1);
    PressAlignment(paraNo, false);
    const TParaInfos& styles = Doc_->RStyle.ParaStyles;
    const std::int32_t spacing = styles.IsValidIndex(paraNo) ? styles[paraNo].LineSpacing : 0;
    mitSpacing100->setChecked(spacing == 100);
    mitSpacing150->setChecked(spacing == 150);
    mitSpacing200->setChecked(spacing == 200);
    // A derived style shows its alignment, whatever its number.
    PressAlignment(paraNo, true);
}

void TFormED::SyncCaretListState()
{
    const TCustomDocViewEdit& edit = Doc_->Editor.InnermostEditor();
    SyncListState(edit.RVData(), edit.CurrentItemNo());
}

void TFormED::SyncListState(const TCustomRVData& data, int itemNo)
{
    ListState = ListStateAt(Doc_->RStyle, data, itemNo);
    mitBullets->setChecked(ListState.Bullets);
    mitNumbering->setChecked(ListState.Numbering);
}

void TFormED::rveCurTextStyleChanged()
{
    const TDocViewEdit& edit = Doc_->Editor;
    SyncTextControls(edit.CurrentTextStyle(), edit.CurrentParaStyle());
    UpdateTableMenus();
}

void TFormED::rveCurParaStyleChanged()
{
    SyncParaControls(Doc_->Editor.CurrentParaStyle());
}

void TFormED::rveCaretMove()
{
    SyncCaretListState();
    UpdateTableMenus();
}

} // namespace xq
