// ShowMessage: a plain information message box.
#pragma once

// Shows `text` under `title` with the information icon; false without a
// title or text (nothing is shown) or when the box could not be shown.
bool ShowMessage(void* owner, const char* title, const char* text);
