#include "tests/support/ui_recorder.h"

#include <gtest/gtest.h>

#include <string>

UiRecorder::UiRecorder(INT_PTR defaultAnswer) : defaultAnswer_(defaultAnswer) {
    previous_ = SetUiResponder([this](const UiRequest& request) {
        requests_.push_back(request);
        if (answers_.empty())
            return defaultAnswer_;
        INT_PTR answer = answers_.front();
        answers_.pop_front();
        return answer;
    });
}

UiRecorder::~UiRecorder() { SetUiResponder(previous_); }

namespace {
std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w)
        s += (c < 0x80) ? static_cast<char>(c) : '?';
    return s;
}
} // namespace

void InstallStrictUiResponder() {
    SetUiResponder([](const UiRequest& request) -> INT_PTR {
        ADD_FAILURE() << "unexpected modal UI: kind " << static_cast<int>(request.kind)
                      << " text \"" << Narrow(request.text) << "\" caption \""
                      << Narrow(request.caption) << "\" resource " << request.resourceId;
        return IDCANCEL;
    });
}
