// The spelling set-up of the main window: the speller directory and its languages, the menu
// "Sprache auswählen" and the per-computer spelling settings of "XQSpell.dic".
#include "app/FormED.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMetaObject>
#include <QPointer>
#include <QStandardPaths>

#include "dialogs/SpellDialog.h"
#include "platform/IniFile.h"
#include "platform/qt/QtText.h"

namespace xq {

namespace fs = std::filesystem;

namespace {

/// The user's registry stand-in: the speller's key belongs to the current user.
std::vector<fs::path> UserRegistryFiles()
{
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (user.isEmpty())
        return {};
    return {fs::path(user.toStdString()) / "Quarnel" / "registry.ini"};
}

/// Where ispell keeps the personal dictionaries when the speller directory may not be written.
fs::path PersonalSpellerHome()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty())
        return {};
    const QString dir = data + QStringLiteral("/speller");
    QDir().mkpath(dir);
    return fs::path(dir.toStdString());
}

constexpr std::string_view SpellingCaption = "Rechtschreibprüfung";

} // namespace

void TFormED::SetUpSpelling()
{
    SpellChecker1.Language = DefaultSpellLanguage;
    SpellChecker1.Options = DefaultSpellOptions;
    SpellChecker1.SpellerType = sptISpell;
    SpellChecker1.SetSpellerDirectory(FindSpellerDirectory(UserRegistryFiles(), Run_.ExeDir));
    SpellChecker1.SetPersonalDirectory({}, PersonalSpellerHome());
    // A speller may fail on another thread; the message is shown on this one.
    QPointer<TFormED> self(this);
    SpellChecker1.OnSpellerFailed = [self](const std::string& message) {
        QMetaObject::invokeMethod(
            self.data(),
            [self, message] {
                if (self)
                    self->Boxes_->Show(message, std::string(SpellingCaption), TMsgButtons::Ok, TMsgIcon::Warning);
            },
            Qt::QueuedConnection);
    };

    std::vector<TSpellListObj> languages = SpellChecker1.ListLanguages(SpellChecker1.LangOption);
    const bool available = !languages.empty() && SpellerProgramAvailable(Run_.WorkDir);

    // Spelling while typing is offered once a language is there.
    Run_.LiveSpelling = false;
    mitLiveSpelling->setChecked(false);
    mitLiveSpelling->setEnabled(false);
    mitSpellCheck->setEnabled(available);
    btnSpelling->setEnabled(available);
    mnuLanguage->clear();
    SpellLanguageName_.clear();

    if (!available) {
        Run_.SpellingUnavailable = true;
        SpellLanguages_.clear();
        QAction* noLanguages = mnuLanguage->addAction(QStringLiteral("keine Sprachen gefunden"));
        noLanguages->setObjectName(QStringLiteral("mitLanguage1"));
        noLanguages->setEnabled(false);
        SetUpLiveSpelling();
        return;
    }

    Run_.SpellingUnavailable = false;
    SpellLanguages_ = std::move(languages);
    auto* group = new QActionGroup(mnuLanguage);
    group->setExclusive(true);
    for (std::size_t i = 0; i < SpellLanguages_.size(); ++i) {
        QAction* item = mnuLanguage->addAction(FromUtf8(SpellLanguages_[i].Name));
        item->setObjectName(QStringLiteral("mitLanguage%1").arg(i + 1));
        item->setCheckable(true);
        item->setData(int(i));
        group->addAction(item);
        const int index = int(i);
        connect(item, &QAction::triggered, this, [this, index] { mitLanguageClick(index); });
    }

    // The per-computer settings: the language last chosen and whether spelling while typing was on.
    TIniFile shared(Run_.ExeDir / SharedSettingsFileName);
    const std::string section = PerComputerSection(shared, SpellerSection, Run_.ComputerName);
    const std::string chosen = shared.ReadString(section, "LLUK");
    SpellWhileTyping_ = false;
    for (std::size_t i = 0; i < SpellLanguages_.size(); ++i)
        if (!chosen.empty() && SpellLanguages_[i].Name == chosen) {
            SelectSpellLanguage(int(i));
            SpellWhileTyping_ = shared.ReadString(section, "DOIT", "0") == "1";
            break;
        }
    Run_.LiveSpelling = SpellWhileTyping_;
    SetUpLiveSpelling();
}

void TFormED::SelectSpellLanguage(int index)
{
    if (index < 0 || std::size_t(index) >= SpellLanguages_.size())
        return;
    const QList<QAction*> items = mnuLanguage->actions();
    for (QAction* item : items)
        item->setChecked(item->data().toInt() == index);
    SpellChecker1.SelectLanguage(SpellLanguages_[std::size_t(index)]);
    SpellLanguageName_ = SpellLanguages_[std::size_t(index)].Name;
}

void TFormED::mitLanguageClick(int index)
{
    SelectSpellLanguage(index);
    Run_.MisspellingFound = false;
    RestartLiveSpelling();
}

// --- The check of the document ---------------------------------------------------------------------

void TFormED::ConnectSpellingCommands()
{
    RVXQSpell1 = std::make_unique<TRVXQSpell>(SpellChecker1, Doc_->RStyle);
    RVXQSpell1->CreateSpellForm = [this]() -> std::unique_ptr<TSpellForm> {
        return std::make_unique<TfrmRVSpell>(this);
    };
    RVXQSpell1->OnSpellForm = [this](TSpellForm& form) { RVXQSpell1SpellForm(form); };
    RVXQSpell1->OnSpellFormAction = [this](const std::string& word, const std::string& replaceTo,
                                           TRVXQSpellFormAction action, int language) {
        RVXQSpell1SpellFormAction(word, replaceTo, action, language);
    };
    // Painting goes on during a long check; input waits, since the check keeps places in the
    // document that an edit would move.
    RVXQSpell1->OnYield = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    connect(mitSpellCheck, &QAction::triggered, this, [this] { Enable1Click(); });
    connect(btnSpelling, &QAction::triggered, this, [this] { Enable1Click(); });
}

void TFormED::Enable1Click()
{
    if (Run_.SpellingUnavailable || SpellCheckRunning_ || Busy_)
        return;
    // The flag tells of this check: one that finds nothing says so, whatever an earlier one found.
    Run_.MisspellingFound = false;
    TSpellCheckOutcome outcome;
    SpellCheckRunning_ = true;
    Guarded([&] { outcome = RVXQSpell1->CheckDocument(Doc_->Editor, true); });
    SpellCheckRunning_ = false;
    if (!Run_.MisspellingFound) {
        if (outcome.Unchecked > 0)
            Boxes_->Show("Die Rechtschreibprüfung konnte nicht durchgeführt werden, weil das Prüfprogramm nicht "
                         "läuft.",
                         std::string(SpellingCaption), TMsgButtons::Ok, TMsgIcon::Warning);
        else
            Boxes_->Show("Keine Rechtschreibfehler gefunden", std::string(SpellingCaption), TMsgButtons::Ok,
                         TMsgIcon::Information);
    }
    FocusEditorWhenVisible();
}

void TFormED::RVXQSpell1SpellForm(TSpellForm& form)
{
    std::string language = SpellLanguageName_;
    if (language.empty())
        language = LanguageName(SpellChecker1.Language, SpellChecker1.LangOption);
    form.SetCaption(std::string(SpellingCaption) + " " + language);
    Run_.MisspellingFound = true;
}

void TFormED::RVXQSpell1SpellFormAction(const std::string& word, const std::string&, TRVXQSpellFormAction action,
                                         int language)
{
    // A word ignored or changed everywhere loses its marks of spelling while typing everywhere.
    if (action == sfaIgnoreAll || action == sfaChangeAll)
        UnmarkWord(word, language);
    Run_.MisspellingFound = true;
}

} // namespace xq
