// The program's five windows. Each exists at most once: it is created the
// first time anything refers to it and afterwards only hidden and shown.
#pragma once

namespace yex {

class Form1;
class Form3;
class Form4;
class Form5;
class Form6;

namespace Windows {

Form1& form1();  // main window
Form3& form3();  // data source
Form4& form4();  // compound editor
Form5& form5();  // new-data chooser
Form6& form6();  // mixture editor

enum class Which { Form1, Form3, Form4, Form5, Form6 };
// Whether the window has been created, and how often it was (never above 1).
bool exists(Which w);
int creations(Which w);

// Start-up after the application object exists: the font substitutions, the
// main window created (listing the data folder), centred and shown.
Form1& StartProgram();

// Ends the program: every window is hidden and the event loop told to quit.
void EndProgram();
bool ProgramEnded();

// Tests only: deletes every window and forgets the counts.
void DestroyAll();

}  // namespace Windows
}  // namespace yex
