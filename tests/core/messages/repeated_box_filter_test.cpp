// One refusal, one box: while a filter lives, a one-button box that repeats one already
// shown is not shown again; questions are always asked, and outside a filter every box
// shows.
#include <gtest/gtest.h>

#include "core/message_box.h"
#include "support/message_recorder.h"

namespace {

MessageRequest box(const QString& text, const QString& informative = QString())
{
    return untitledRequest(Msg::Critical, text, informative);
}

} // namespace

TEST(RepeatedBoxFilter, ARepeatedBoxShowsOnceWhileTheFilterLives)
{
    MessageRecorder boxes;
    const QString refusal = "Invalid specie 'H2O' in the species database, propellant load failed";
    {
        RepeatedBoxFilter filter;
        showMessage(nullptr, box(refusal, "rule"));
        showMessage(nullptr, box(refusal, "rule")); // the second tab's reload
        showMessage(nullptr, box(refusal, "another rule")); // another reason: shown
        showMessage(nullptr, box("Another refusal"));
        MessageRequest question = box(refusal, "rule");
        question.buttons = Msg::Yes | Msg::No;
        showMessage(nullptr, question);
        showMessage(nullptr, question); // a question is asked each time
        {
            RepeatedBoxFilter inner; // a filter inside a filter starts afresh
            showMessage(nullptr, box("Another refusal"));
            showMessage(nullptr, box("Another refusal"));
        }
        showMessage(nullptr, box("Another refusal")); // the outer filter had it already
    }
    showMessage(nullptr, box(refusal, "rule")); // no filter: shown again
    EXPECT_EQ(boxes.texts(),
              QStringList({refusal, refusal, "Another refusal", refusal, refusal, "Another refusal", refusal}));
}
