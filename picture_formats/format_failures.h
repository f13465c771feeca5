#pragma once
// What a reader's failure says to the user. Whatever went wrong inside a reader (a short read, a range
// or overflow error of checked arithmetic, a decoder's or the colour manager's complaint, a picture too
// large for memory), the user is told in the library's English messages, naming the format; the
// toolkit's French texts and raw file bytes never reach a message.

#include <exception>
#include <string>

#include "toolkit/core/exceptions.h"

// The library's own message: raised by FormatError and FormatErrorFmt. Being an EInvalidGraphic, it is
// caught as one; the type tells the failure net that the text is already the library's.
ORVANTA_EXCEPTION(EFormatError, EInvalidGraphic)

// The message that stands for `error` in a load of a `formatName` picture (see the header comment).
std::string FailureMessage(const std::exception& error, const std::string& formatName);

// The text with every byte outside printable ASCII written as \xNN, so that bytes from a file cannot
// garble a message.
std::string PrintableText(const std::string& text);
