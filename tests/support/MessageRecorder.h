#pragma once
// Answers the program's message boxes for the lifetime of the recorder and
// records each one: installed when it is made, removed (back to real
// dialogs) when it goes away. Every box is answered OK unless `answer` says
// otherwise.
#include <functional>
#include <utility>
#include <vector>

#include "RecordedMessage.h"
#include "common/MessageBox.h"

namespace dz::test {

class MessageRecorder {
 public:
  using Answer = std::function<int(const RecordedMessage&)>;

  explicit MessageRecorder(Answer p_answer = {}) : answer(std::move(p_answer)) {
    SetMessageAnswerer([this](const QString& text, int style, const QString& title) {
      messages.push_back({text, style, title});
      return answer ? answer(messages.back()) : static_cast<int>(AnswerOk);
    });
  }
  ~MessageRecorder() { SetMessageAnswerer({}); }
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  Answer answer;
  std::vector<RecordedMessage> messages;
};

}  // namespace dz::test
