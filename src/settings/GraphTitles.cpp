#include "settings/GraphTitles.h"

#include <utility>

namespace ocuvis {

GraphTitles::GraphTitles(OrlenRegistry store, const std::string& appKeyName, UserFeedback& feedback)
    : titlesKey(appKeyName + "\\GraphTitles"), store_(std::move(store)), feedback_(feedback) {
    LoadTitles();
}

void GraphTitles::LoadTitles() {
    const auto fields = Fields();
    for (std::size_t i = 0; i < fields.size(); ++i)
        store_.ReadString(titlesKey, kValueNames[i], *fields[i]);
}

void GraphTitles::OkBtnClick() {
    const auto fields = Fields();
    for (std::size_t i = 0; i < fields.size(); ++i)
        store_.WriteString(titlesKey, kValueNames[i], *fields[i]);
    feedback_.MessageBeep(BeepKind::Asterisk);
}

void GraphTitles::CancelBtnClick() {
    LoadTitles();
    feedback_.MessageBeep(BeepKind::Hand);
}

void GraphTitles::ClearAllBtnClick() {
    for (std::string* field : Fields())
        field->clear();
}

}  // namespace ocuvis
