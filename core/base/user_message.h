#pragma once

#include <string>

namespace kresograf {

enum class MessageIcon { Stop, Exclamation, Information };

// A message box as core asks for it; the program that hosts core decides how to show it.
struct UserMessage {
    std::string Title;
    std::string Text;
    MessageIcon Icon = MessageIcon::Stop;

    friend bool operator==(const UserMessage&, const UserMessage&) = default;
};

}  // namespace kresograf
