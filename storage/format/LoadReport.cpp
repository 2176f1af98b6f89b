#include "storage/format/LoadReport.h"

#include <cstdio>

namespace {

const char kCaption[] = "Tallyvane";

} // namespace

void LoadReport::add(const char* text)
{
    messages_.push_back({kCaption, text});
}

void LoadReport::fail(const char* text)
{
    failed_ = true;
    if (text)
        add(text);
}

void LoadReport::damage(Damage what)
{
    char text[64];
    snprintf(text, sizeof text, "Data file is corrupt - Err# %d", int(what));
    add(text);
    damage_ = what;
    damaged_ = true;
}

void LoadReport::unshown(const char* text)
{
    add(text);
    damaged_ = true;
}

std::string LoadReport::firstMessage() const
{
    return messages_.empty() ? std::string() : messages_[0].caption + ": " + messages_[0].text;
}
