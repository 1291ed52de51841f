// Footnotes and endnotes in RTF: the note's number where the note stands, and its text in a
// "\footnote" group ("\ftnalt" marks an endnote); a note reference inside the note text is the
// note's number again ("\chftn").
#pragma once

#include <memory>

#include "formats/rtf/RtfWriter.h"

namespace xq {

/// The item writers of footnotes and endnotes (one writer serves both kinds) and of note
/// references.
[[nodiscard]] std::shared_ptr<const TRVRTFItemWriter> NewRtfNoteWriter();
[[nodiscard]] std::shared_ptr<const TRVRTFItemWriter> NewRtfNoteReferenceWriter();

} // namespace xq
