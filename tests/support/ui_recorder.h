// Answers the UI seam during a test: records every box and dialog and returns chosen answers.
// Without one, any modal UI raised by code under test fails the test (and is answered IDCANCEL).
#pragma once
#include "platform/ui_seam.h"

#include <deque>
#include <vector>

class UiRecorder {
public:
    explicit UiRecorder(INT_PTR defaultAnswer = IDOK);
    ~UiRecorder();
    UiRecorder(const UiRecorder&) = delete;
    UiRecorder& operator=(const UiRecorder&) = delete;

    // Answers for the next requests, in order; then the default answer.
    void QueueAnswer(INT_PTR answer) { answers_.push_back(answer); }
    const std::vector<UiRequest>& requests() const { return requests_; }
    size_t count() const { return requests_.size(); }
    const UiRequest& last() const { return requests_.back(); }

private:
    INT_PTR defaultAnswer_;
    std::deque<INT_PTR> answers_;
    std::vector<UiRequest> requests_;
    UiResponder previous_;
};

// Installed by the test main: an unexpected box or dialog fails the running test.
void InstallStrictUiResponder();
