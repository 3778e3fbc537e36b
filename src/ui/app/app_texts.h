#pragma once
// The program's name as its windows and message boxes show it.

namespace pit::ui {

extern const char* const kApplicationTitle;
extern const char* const kNoCaptionDocument;  // caption head without a document

}  // namespace pit::ui
