#pragma once
// Container controls.

#include "framework/Controls.h"

// A plain container: fills itself with its colour and holds child controls.
// Notes use it without a bevel, so it draws nothing else.
class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
};
