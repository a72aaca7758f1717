#pragma once
// The hidden tray controller: the application's main form.

#include "framework/Forms.h"

class TfrmMain : public TForm {
public:
    explicit TfrmMain(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
};
