#include "GermanDocument.h"

namespace xq::bench {

namespace {

/// A small generator with a fixed sequence on every platform (xorshift64*), so the document is
/// the same from run to run and machine to machine.
class TRandom {
public:
    explicit TRandom(std::uint64_t seed) noexcept : State_(seed) {}
    [[nodiscard]] std::uint32_t Next() noexcept
    {
        State_ ^= State_ >> 12;
        State_ ^= State_ << 25;
        State_ ^= State_ >> 27;
        return static_cast<std::uint32_t>((State_ * 0x2545F4914F6CDD1DULL) >> 32);
    }
    /// A number in lo..hi.
    [[nodiscard]] int Between(int lo, int hi) noexcept { return lo + static_cast<int>(Next() % std::uint32_t(hi - lo + 1)); }

private:
    std::uint64_t State_;
};

// Words of business letters and contracts, nouns capitalised as they are written.
const char16_t* const kWords[] = {
    u"der", u"die", u"das", u"und", u"oder", u"nicht", u"mit", u"für", u"über", u"nach", u"bei", u"zur",
    u"zum", u"wir", u"Sie", u"Ihnen", u"Ihre", u"unser", u"unsere", u"dass", u"möchten", u"können",
    u"müssen", u"würden", u"dürfen", u"ließen", u"gemäß", u"außerdem", u"größer", u"schließlich",
    u"Straße", u"Grüße", u"Maßnahme", u"Gebühren", u"Bestätigung", u"Empfänger", u"Prüfung", u"Änderung",
    u"Übersicht", u"Ärztekammer", u"Öffnungszeiten", u"Rückfrage", u"Verfügung", u"Unterstützung",
    u"Geschäftsführung", u"Kündigungsfrist", u"Schadensersatzansprüche", u"Versicherungsnehmer",
    u"Auftragsbestätigung", u"Datenschutzerklärung", u"Rechnungsbetrag", u"Zahlungseingang", u"Mahnung",
    u"Vertrag", u"Angebot", u"Anlage", u"Unterlagen", u"Termin", u"Frist", u"Antrag", u"Bescheid",
    u"Kunde", u"Kundin", u"Mitarbeiter", u"Abteilung", u"Behörde", u"Gemeinde", u"Bürgermeister",
    u"Wohnung", u"Mieter", u"Vermieter", u"Nebenkosten", u"Heizkostenabrechnung", u"Schlüssel",
    u"Gewährleistung", u"Lieferung", u"Verzögerung", u"Entschädigung", u"Erklärung", u"Begründung",
    u"Sachverständige", u"Gutachten", u"Stellungnahme", u"Einverständnis", u"Bevollmächtigte",
    u"freundlichen", u"geehrte", u"geehrter", u"herzlichen", u"ausdrücklich", u"unverzüglich",
    u"rechtzeitig", u"schriftlich", u"ordnungsgemäß", u"voraussichtlich", u"gegenüber", u"bezüglich",
    u"hinsichtlich", u"grundsätzlich", u"zusätzlich", u"nämlich", u"jährlich", u"monatlich", u"täglich",
    u"übermitteln", u"überweisen", u"erhöhen", u"prüfen", u"bestätigen", u"erläutern", u"berücksichtigen",
    u"zurückschicken", u"beifügen", u"mitteilen", u"weiterleiten", u"genehmigen", u"bearbeiten",
    u"aufgrund", u"innerhalb", u"außerhalb", u"während", u"wegen", u"trotz", u"seit", u"bis", u"ab",
    u"am", u"im", u"in", u"an", u"auf", u"aus", u"von", u"vom", u"zu", u"als", u"wie", u"wenn", u"weil",
    u"ein", u"eine", u"einen", u"einem", u"einer", u"den", u"dem", u"des", u"sich", u"auch", u"noch",
    u"bereits", u"jedoch", u"bitte", u"gern", u"sehr", u"viele", u"Jahre", u"Monate", u"Woche", u"Tage",
    u"Höhe", u"Größe", u"Fußgängerzone", u"Spaß", u"Maß", u"Gruß", u"Fuß", u"süß", u"heiß", u"weiß",
    u"Äpfel", u"Öl", u"Übung", u"Bär", u"Tür", u"König", u"Käufer", u"Verkäufer", u"Händler",
};
constexpr int kWordCount = static_cast<int>(sizeof kWords / sizeof kWords[0]);

} // namespace

const std::vector<TParagraph>& GermanParagraphs()
{
    static const std::vector<TParagraph> paragraphs = [] {
        TRandom random(20240611);
        std::vector<TParagraph> result(kParagraphs);
        for (TParagraph& paragraph : result) {
            const int words = random.Between(16, 46);
            int boldLeft = random.Between(0, 2);
            bool startSentence = true;
            int boldUntil = -1;
            TRun run;
            for (int w = 0; w < words; ++w) {
                const bool bold = w <= boldUntil;
                if (!bold && boldLeft > 0 && w > 0 && random.Between(0, 14) == 0) {
                    boldUntil = w + random.Between(0, 3);
                    --boldLeft;
                }
                const bool wordBold = w <= boldUntil;
                if (wordBold != run.Bold && !run.Text.empty()) {
                    paragraph.Runs.push_back(std::move(run));
                    run = TRun{};
                }
                run.Bold = wordBold;
                std::u16string word = kWords[random.Between(0, kWordCount - 1)];
                if (startSentence && word[0] >= u'a' && word[0] <= u'z')
                    word[0] = static_cast<char16_t>(word[0] - u'a' + u'A');
                run.Text += word;
                startSentence = false;
                if (w + 1 == words) {
                    run.Text += u'.';
                } else {
                    const int mark = random.Between(0, 19);
                    if (mark == 0) {
                        run.Text += u'.';
                        startSentence = true;
                    } else if (mark < 3) {
                        run.Text += u',';
                    }
                    // The space after a bold word stays bold, as when typed with bold on.
                    run.Text += u' ';
                }
            }
            paragraph.Runs.push_back(std::move(run));
        }
        return result;
    }();
    return paragraphs;
}

void MiddleOf(const TParagraph& paragraph, int& run, int& offset)
{
    int rest = paragraph.Length() / 2;
    for (run = 0; run + 1 < static_cast<int>(paragraph.Runs.size()); ++run) {
        const int n = static_cast<int>(paragraph.Runs[std::size_t(run)].Text.size());
        if (rest < n)
            break;
        rest -= n;
    }
    offset = rest;
}

} // namespace xq::bench
