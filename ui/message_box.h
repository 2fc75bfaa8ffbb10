// ShowMessage: a plain information message box; ShowErrorMessage: the same box telling a failure.
#pragma once

// Shows `text` under `title` with the information icon; false without a
// title or text (nothing is shown) or when the box could not be shown.
bool ShowMessage(void* owner, const char* title, const char* text);
// The same with the error icon, for a failure the user is told about.
bool ShowErrorMessage(void* owner, const char* title, const char* text);
