// The page setup dialog.
#include "dialogs/PageSetupDialog.h"
#include "dialogs/DialogButtons.h"

#include <algorithm>
#include <array>
#include <string>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/FormatDialogs.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtText.h"
#include "printing/PageSettings.h"

namespace xq {

namespace {

QSpinBox* NumberBox(QWidget* parent, const char* name, int maximum)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(0, maximum);
    box->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    return box;
}

QRadioButton* Radio(QWidget* parent, const char* name, const char* caption)
{
    auto* radio = new QRadioButton(FromUtf8(caption), parent);
    radio->setObjectName(QString::fromLatin1(name));
    return radio;
}

/// The Qt font a header or footer line is shown in.
QFont QFontOf(const THFFont& font)
{
    QFont q(QtFamilyFor(font.Name));
    q.setPointSize(std::max(font.Size, 1));
    q.setBold(font.Style.Contains(fsBold));
    q.setItalic(font.Style.Contains(fsItalic));
    q.setUnderline(font.Style.Contains(fsUnderline));
    q.setStrikeOut(font.Style.Contains(fsStrikeOut));
    return q;
}

TFontDescription DescriptionOf(const THFFont& font)
{
    TFontDescription d;
    d.Name = font.Name;
    d.Size = font.Size;
    d.Color = font.Color;
    d.Charset = font.Charset;
    d.Style = font.Style;
    return d;
}

THFFont HFFontOf(const TFontDescription& d)
{
    THFFont font;
    font.Name = d.Name;
    font.Size = std::clamp(d.Size, MinHeaderFontSize, MaxHeaderFontSize);
    font.Color = d.Color;
    font.Charset = d.Charset;
    font.Style = d.Style;
    return font;
}

/// One of the two line groups: text box, alignment, font button, first-page box.
QGroupBox* LineGroup(QWidget* parent, const char* caption, const char* textLabel, QLineEdit*& edit,
                     std::array<QRadioButton*, 3>& radios, std::array<const char*, 3> radioCaptions,
                     const char* prefix, QPushButton*& fontButton, const char* fontCaption, QCheckBox*& first,
                     const char* firstCaption)
{
    auto* group = new QGroupBox(FromUtf8(caption), parent);
    auto* grid = new QGridLayout(group);
    auto* label = new QLabel(FromUtf8(textLabel), group);
    edit = new QLineEdit(group);
    edit->setObjectName(QStringLiteral("edt%1").arg(QLatin1String(prefix)));
    label->setBuddy(edit);
    grid->addWidget(label, 0, 0);
    grid->addWidget(edit, 0, 1, 1, 4);
    const char* names[] = {"Left", "Center", "Right"};
    auto* alignments = new QButtonGroup(group);
    for (int i = 0; i < 3; ++i) {
        radios[std::size_t(i)] = Radio(group, (std::string("rb") + prefix + names[i]).c_str(), radioCaptions[std::size_t(i)]);
        alignments->addButton(radios[std::size_t(i)]);
        grid->addWidget(radios[std::size_t(i)], 1, 1 + i);
    }
    fontButton = new QPushButton(FromUtf8(fontCaption), group);
    fontButton->setObjectName(QStringLiteral("btn%1Font").arg(QLatin1String(prefix)));
    grid->addWidget(fontButton, 1, 4);
    first = new QCheckBox(FromUtf8(firstCaption), group);
    first->setObjectName(QStringLiteral("chk%1First").arg(QLatin1String(prefix)));
    grid->addWidget(first, 2, 1, 1, 4);
    return group;
}

} // namespace

TfrmPageSetup::TfrmPageSetup(TPageSetup& setup, TFormatDialogs& dialogs, QWidget* parent)
    : QDialog(parent), Setup_(setup), Dialogs_(dialogs)
{
    setObjectName(QStringLiteral("frmPageSetup"));
    setWindowTitle(QString::fromStdString(PageSetupCaptionFor(setup.State().PrinterName)));
    setModal(true);

    Tabs = new QTabWidget(this);
    Tabs->setObjectName(QStringLiteral("PageControl1"));

    // " Seite"
    auto* page = new QWidget(Tabs);
    auto* pageColumn = new QVBoxLayout(page);
    auto* orientation = new QGroupBox(FromUtf8(" Ausrichtung"), page);
    auto* orientationRow = new QHBoxLayout(orientation);
    rbPortrait = Radio(orientation, "rbPortrait", "&Hochformat");
    rbLandscape = Radio(orientation, "rbLandscape", "&Querformat");
    orientationRow->addWidget(rbPortrait);
    orientationRow->addWidget(rbLandscape);
    auto* margins = new QGroupBox(FromUtf8(" Seitenänder (mm) "), page);
    auto* marginGrid = new QGridLayout(margins);
    spnTop = NumberBox(margins, "spnTop", MaxMarginMM);
    spnBottom = NumberBox(margins, "spnBottom", MaxMarginMM);
    spnLeft = NumberBox(margins, "spnLeft", MaxMarginMM);
    spnRight = NumberBox(margins, "spnRight", MaxMarginMM);
    int row = 0;
    for (auto [caption, box] : {std::pair{"Oben", spnTop}, std::pair{"Unten", spnBottom}, std::pair{"Links", spnLeft},
                                std::pair{"Rechts", spnRight}}) {
        auto* label = new QLabel(FromUtf8(caption), margins);
        label->setBuddy(box);
        marginGrid->addWidget(label, row / 2, (row % 2) * 2);
        marginGrid->addWidget(box, row / 2, (row % 2) * 2 + 1);
        ++row;
    }
    chkMirror = new QCheckBox(FromUtf8("Seitenränder spiegeln"), margins);
    chkMirror->setObjectName(QStringLiteral("chkMirror"));
    marginGrid->addWidget(chkMirror, 2, 0, 1, 4);
    auto* paper = new QGroupBox(FromUtf8(" Papier "), page);
    auto* paperRow = new QHBoxLayout(paper);
    auto* sizeLabel = new QLabel(FromUtf8("Grösse"), paper);
    cmbPaper = new QComboBox(paper);
    cmbPaper->setObjectName(QStringLiteral("cmbPaper"));
    sizeLabel->setBuddy(cmbPaper);
    paperRow->addWidget(sizeLabel);
    paperRow->addWidget(cmbPaper, 1);
    pageColumn->addWidget(orientation);
    pageColumn->addWidget(margins);
    pageColumn->addWidget(paper);
    pageColumn->addStretch(1);
    Tabs->addTab(page, FromUtf8(" Seite"));

    // " Kopf- und Fusszeile"
    auto* lines = new QWidget(Tabs);
    auto* linesColumn = new QVBoxLayout(lines);
    // The codes as the user types them: "&&" in the caption stands for one "&".
    lblCodes = new QLabel(
        FromUtf8("Bedeutung der Abkürzungen:\n&p - Seiten Nummer,   &P - Anzahl der Seiten,   &d - Datum,  &t - Zeit"),
        lines);
    lblCodes->setObjectName(QStringLiteral("lblCodes"));
    lblCodes->setTextFormat(Qt::PlainText);
    std::array<QRadioButton*, 3> headerRadios{}, footerRadios{};
    linesColumn->addWidget(lblCodes);
    linesColumn->addWidget(LineGroup(lines, " Kopfzeile ", "&Text:", edtHeader, headerRadios,
                                     {"&Links", "&Zentriert", "&Rechts"}, "Header", btnHeaderFont, "&Schrift...",
                                     chkHeaderFirst, "Kopfzeile auch auf erster Seite"));
    linesColumn->addWidget(LineGroup(lines, " Fusszeile ", "Te&xt:", edtFooter, footerRadios,
                                     {"L&inks", "Z&entriert", "Re&chts"}, "Footer", btnFooterFont, "S&chrift...",
                                     chkFooterFirst, "Fusszeile auch auf erster Seite"));
    rbHeaderLeft = headerRadios[0];
    rbHeaderCenter = headerRadios[1];
    rbHeaderRight = headerRadios[2];
    rbFooterLeft = footerRadios[0];
    rbFooterCenter = footerRadios[1];
    rbFooterRight = footerRadios[2];
    auto* numbering = new QGroupBox(FromUtf8(" Seitennummerierung "), lines);
    auto* numberingRow = new QHBoxLayout(numbering);
    auto* firstLabel = new QLabel(FromUtf8("Beginnt mit Seitenzahl"), numbering);
    spnFirstPage = NumberBox(numbering, "spnFirstPage", MaxFirstPageNumber);
    firstLabel->setBuddy(spnFirstPage);
    numberingRow->addWidget(firstLabel);
    numberingRow->addWidget(spnFirstPage);
    numberingRow->addStretch(1);
    linesColumn->addWidget(numbering);
    linesColumn->addStretch(1);
    Tabs->addTab(lines, FromUtf8(" Kopf- und Fusszeile"));

    QHBoxLayout* buttons = OkCancelRow(this, btnOk, btnCancel);
    auto* column = new QVBoxLayout(this);
    column->addWidget(Tabs);
    column->addLayout(buttons);

    connect(btnOk, &QPushButton::clicked, this, &TfrmPageSetup::accept);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmPageSetup::reject);
    connect(btnHeaderFont, &QPushButton::clicked, this, [this] { ChooseFont(true); });
    connect(btnFooterFont, &QPushButton::clicked, this, [this] { ChooseFont(false); });
    LoadFields();
}

void TfrmPageSetup::LoadFields()
{
    const TPageSetupFields& f = Setup_.Fields;
    (f.Orientation == 1 ? rbLandscape : rbPortrait)->setChecked(true);
    // A margin text that is no number leaves its box as it is.
    auto margin = [](QSpinBox* box, const std::string& text) {
        bool number = false;
        const int value = QString::fromStdString(text).toInt(&number);
        if (number)
            box->setValue(value);
    };
    margin(spnTop, f.TopText);
    margin(spnBottom, f.BottomText);
    margin(spnLeft, f.LeftText);
    margin(spnRight, f.RightText);
    chkMirror->setChecked(f.Mirror);
    cmbPaper->clear();
    for (const TPrinterPaper& p : f.Papers)
        cmbPaper->addItem(QString::fromStdString(p.Name));
    cmbPaper->setCurrentIndex(f.PaperSelected >= 0 && f.PaperSelected < cmbPaper->count() ? f.PaperSelected : -1);

    edtHeader->setText(QString::fromStdString(f.HeaderText));
    edtFooter->setText(QString::fromStdString(f.FooterText));
    edtHeader->setFont(QFontOf(f.HeaderBoxFont));
    edtFooter->setFont(QFontOf(f.FooterBoxFont));
    (f.HeaderAlignment == hfaLeft ? rbHeaderLeft : f.HeaderAlignment == hfaRight ? rbHeaderRight : rbHeaderCenter)
        ->setChecked(true);
    (f.FooterAlignment == hfaLeft ? rbFooterLeft : f.FooterAlignment == hfaRight ? rbFooterRight : rbFooterCenter)
        ->setChecked(true);
    chkHeaderFirst->setChecked(f.HeaderOnFirstPage);
    chkFooterFirst->setChecked(f.FooterOnFirstPage);
    spnFirstPage->setValue(f.FirstPageNumber);
}

void TfrmPageSetup::StoreFields()
{
    TPageSetupFields& f = Setup_.Fields;
    f.Orientation = rbLandscape->isChecked() ? 1 : 0;
    f.TopText = std::to_string(spnTop->value());
    f.BottomText = std::to_string(spnBottom->value());
    f.LeftText = std::to_string(spnLeft->value());
    f.RightText = std::to_string(spnRight->value());
    f.Mirror = chkMirror->isChecked();
    f.PaperSelected = cmbPaper->currentIndex();
    f.HeaderText = edtHeader->text().toStdString();
    f.FooterText = edtFooter->text().toStdString();
    f.HeaderAlignment = rbHeaderLeft->isChecked() ? hfaLeft : rbHeaderRight->isChecked() ? hfaRight : hfaCenter;
    f.FooterAlignment = rbFooterLeft->isChecked() ? hfaLeft : rbFooterRight->isChecked() ? hfaRight : hfaCenter;
    f.HeaderOnFirstPage = chkHeaderFirst->isChecked();
    f.FooterOnFirstPage = chkFooterFirst->isChecked();
    f.FirstPageNumber = spnFirstPage->value();
}

void TfrmPageSetup::ChooseFont(bool header)
{
    // Preset with the line's font; the choice waits for OK in the font copy.
    const THFInfo& line = header ? Setup_.State().Header : Setup_.State().Footer;
    TFontDescription font = DescriptionOf(line.Font);
    if (!Dialogs_.ChooseFont(font))
        return;
    StoreFields();
    if (header)
        Setup_.ChooseHeaderFont(HFFontOf(font));
    else
        Setup_.ChooseFooterFont(HFFontOf(font));
    LoadFields();
}

void TfrmPageSetup::accept()
{
    StoreFields();
    Setup_.Apply(false);
    QDialog::accept();
}

void TfrmPageSetup::reject()
{
    // What was typed stays in the fields until they are refreshed from the document.
    StoreFields();
    QDialog::reject();
}

} // namespace xq
