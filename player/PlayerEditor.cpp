#include "player/PlayerEditor.h"

namespace slamwise {

PlayerEditor::PlayerEditor(Platform, const GameNames&, QWidget* parent) : QWidget(parent) {}
void PlayerEditor::setRom(RomFile*) {}
void PlayerEditor::setRelease(std::optional<Release>) {}
void PlayerEditor::EnableEditingControls() {}
void PlayerEditor::ClearRelocationFlag() {}
void PlayerEditor::ShutOffPlayerEditor() {}
void PlayerEditor::CheckRelocatedData() {}
void PlayerEditor::SelectFirstPlayer() {}
void PlayerEditor::ResetAfterClose() {}
void PlayerEditor::SavePlayer() {}
bool PlayerEditor::relocated() const {
    return false;
}
bool PlayerEditor::shutOff() const {
    return false;
}

}  // namespace slamwise
