// The modal message boxes of the program, one function per button set. Titles
// and texts are shown exactly as given; the boxes carry no icon unless named.
#pragma once

#include <string_view>

class QWidget;

enum class MessageAnswer { Ok, Cancel, Yes, No, Retry, TryAgain, Continue };

// OK only.
void ShowMessage(QWidget* parent, std::string_view title, std::string_view text);
// OK only, with the information icon.
void ShowInformation(QWidget* parent, std::string_view title, std::string_view text);
// True for OK; Cancel, Escape and the close box give false.
bool AskOkCancel(QWidget* parent, std::string_view title, std::string_view text);
// True for Yes.
bool AskYesNo(QWidget* parent, std::string_view title, std::string_view text);
// Yes, No or Cancel (also Escape and the close box).
MessageAnswer AskYesNoCancel(QWidget* parent, std::string_view title, std::string_view text);
// True for Retry; Cancel, Escape and the close box give false.
bool AskRetryCancel(QWidget* parent, std::string_view title, std::string_view text);
// "Cancel", "Try Again", "Continue" in this order: Cancel, TryAgain or Continue
// (Escape and the close box give Cancel).
MessageAnswer AskCancelTryAgainContinue(QWidget* parent, std::string_view title, std::string_view text);
