// The editor's words checked in the language of their text style.
#include "spelling/RVXQSpell.h"

#include "document/RVStyle.h"

namespace xq {

bool TIgnoreCollection::Add(std::string_view word, int language)
{
    if (Contains(word, language))
        return true;
    if (Items_.size() >= MaxCount)
        return false;
    Items_.emplace(std::string(word), language);
    return true;
}

bool TIgnoreCollection::Contains(std::string_view word, int language) const
{
    return Items_.count(std::make_pair(std::string(word), language)) != 0;
}

bool TReplaceCollection::Add(std::string_view word, std::string_view replacement, int language)
{
    for (TItem& item : Items_)
        if (item.Word == word && item.Language == language) {
            item.Replacement = replacement;
            return true;
        }
    if (Items_.size() >= MaxCount)
        return false;
    Items_.push_back(TItem{std::string(word), std::string(replacement), language});
    return true;
}

const TReplaceCollection::TItem* TReplaceCollection::Find(std::string_view word, int language) const
{
    for (const TItem& item : Items_)
        if (item.Word == word && item.Language == language)
            return &item;
    return nullptr;
}

std::size_t Utf8CharacterCount(std::string_view text) noexcept
{
    std::size_t count = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

int TRVXQSpell::LanguageOfStyle(int textStyle) const
{
    const int charset = Style_.TextStyles.StyleAt(textStyle).Charset;
    return SpellLanguageOfCharset(charset, Checker_.Language);
}

bool TRVXQSpell::CheckWord(std::string_view word, int textStyle)
{
    if (Utf8CharacterCount(word) <= 1)
        return true;
    const int language = LanguageOfStyle(textStyle);
    if (IgnoreList.Contains(word, language))
        return true;
    return Checker_.IsWordCorrect(word, language);
}

} // namespace xq
