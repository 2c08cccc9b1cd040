// "F" on every screen that offers it: the upload file in the editor.
#pragma once

namespace zazir {

struct App;

// Opens the upload file in the editor; the caller redraws.
void viewUploadFile(App& app);

}  // namespace zazir
