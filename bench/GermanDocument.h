// The German test document of the layout and editing benchmarks: paragraphs of business-letter
// words with bold runs, the same on every run and machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xq::bench {

inline constexpr int kParagraphs = 20000;

struct TRun {
    std::u16string Text;
    bool Bold = false;
};

struct TParagraph {
    std::vector<TRun> Runs;
    [[nodiscard]] int Length() const
    {
        int n = 0;
        for (const TRun& r : Runs)
            n += static_cast<int>(r.Text.size());
        return n;
    }
};

/// kParagraphs paragraphs of 16..46 words (about three lines at 600 pixels in 10-point text),
/// each with up to two bold runs of one to four words; words are capitalised after a full stop.
const std::vector<TParagraph>& GermanParagraphs();

/// The run and the character offset in it at the middle of a paragraph.
void MiddleOf(const TParagraph& paragraph, int& run, int& offset);

/// The paragraphs from the middle of the German document that are kept by a shorter one: so every
/// length has the same paragraph in its middle, and the same paragraphs around it.
[[nodiscard]] inline int FirstKept(int paragraphs) noexcept { return (kParagraphs - paragraphs) / 2; }

} // namespace xq::bench
