// Shared looks of the controls in the layout tables.
#pragma once

#include "ui/form_model.h"

namespace talvoro::ui::styles {

inline constexpr Style kPlain{};
inline constexpr Style kHidden{.flags = flag::kHidden};
inline constexpr Style kDisabled{.flags = flag::kDisabled};
inline constexpr Style kChecked{.flags = flag::kChecked};
inline constexpr Style kBold{.flags = flag::kBold};
inline constexpr Style kHand{.flags = flag::kHandCursor};
inline constexpr Style kBorderPanel{.flags = flag::kBorder};
inline constexpr Style kTransparentImage{.flags = flag::kTransparent};
// Code labels under the action buttons ("IR: 1234").
inline constexpr Style kCodeLabel{.colour = 0x808080};
// Path labels beside the "..." choosers, in navy type.
inline constexpr Style kPathLabel{.colour = 0x000080};
// Web links.
inline constexpr Style kLink{.flags = flag::kHandCursor, .colour = 0x0000FF};
// Launcher buttons: white bold digit on a blue face, lit by a lighter blue.
inline constexpr Style kLaunchButton{.flags = flag::kBold | flag::kHandCursor,
                                     .colour = 0xFFFFFF,
                                     .face = 0x3469A5,
                                     .raised = 0x8AA2D7};
inline constexpr Style kVerticalBar100{.flags = flag::kVertical, .min = 0, .max = 100};
inline constexpr Style kVerticalBar255{.flags = flag::kVertical, .min = 0, .max = 255};
inline constexpr Style kBalanceTrack{.flags = flag::kDisabled, .min = -90, .max = 90};
// The caption over an action button: centred, wrapping onto a second line.
inline constexpr Style kCaptionLabel{.flags = flag::kCentre};
// A centred bold title inside a panel.
inline constexpr Style kTitle{.flags = flag::kBold | flag::kCentre};
// Small centred legends (under the level bars).
inline constexpr Style kSmallLabel{.flags = flag::kCentre, .font_px = 9};

}  // namespace talvoro::ui::styles

namespace talvoro::ui::styles {

// Window frames. A form's x, y of -1 means centred on the desktop.
inline constexpr Style kFormMain{.flags = flag::kFixedFrame | flag::kSysMenu};
inline constexpr Style kFormDialog{.flags = flag::kFixedFrame | flag::kSysMenu};
inline constexpr Style kFormDialogMinimize{.flags = flag::kFixedFrame | flag::kSysMenu |
                                                    flag::kMinimizeBox};
inline constexpr Style kFormDialogNoSysMenu{.flags = flag::kFixedFrame};
inline constexpr Style kFormPopup{.flags = flag::kNoCaption};
inline constexpr Style kFormPopupWhite{.flags = flag::kNoCaption, .face = 0xFFFFFF};
inline constexpr Style kFormPopupBlack{.flags = flag::kNoCaption, .face = 0x000000};
inline constexpr Style kFormPopupGreen{.flags = flag::kNoCaption, .face = 0xC0DCC0};
// The on-screen display: never takes the focus.
inline constexpr Style kFormOsd{
    .flags = flag::kNoCaption | flag::kNoActivate, .font = "MS Sans Serif", .font_px = 11};

// Learning dialog.
inline constexpr Style kLearnPrompt{.flags = flag::kBold, .font = "Times New Roman", .font_px = 29};
inline constexpr Style kLearnRemote{.picture = "REMOTE"};

// On-screen display panels.
inline constexpr Style kOsdSelection{.flags = flag::kBold, .font_px = 16, .colour = 0xFF0000};
inline constexpr Style kOsdInfo{
    .flags = flag::kBold, .font = "Times New Roman", .font_px = 19, .colour = 0x0000FF};
inline constexpr Style kOsdTitle{.flags = flag::kBold, .font_px = 19, .colour = 0x000080};
inline constexpr Style kOsdStatus{.flags = flag::kBold, .font_px = 16, .colour = 0x008000};
inline constexpr Style kOsdMasterBar{.min = 0, .max = 100};
inline constexpr Style kOsdWaveBar{.min = 0, .max = 255};
inline constexpr Style kOsdBalanceTrack{
    .flags = flag::kDisabled | flag::kNoTicks, .min = -90, .max = 90};

// Countdown window: white bold type on black.
inline constexpr Style kBlackPanel{.face = 0x000000};
inline constexpr Style kCountdownPicture{.flags = flag::kTransparent, .picture = "COUNTDOWN"};
inline constexpr Style kCountdownText{
    .flags = flag::kBold, .font = "MS Sans Serif", .font_px = 16, .colour = 0xFFFFFF};

// Conflict warning: red bold lines under a warning sign.
inline constexpr Style kConflictPicture{.flags = flag::kTransparent, .picture = "CONFLICT"};
inline constexpr Style kConflictText{.flags = flag::kBold | flag::kCentre,
                                     .font = "MS Sans Serif",
                                     .font_px = 13,
                                     .colour = 0xFF0000};

}  // namespace talvoro::ui::styles

namespace talvoro::ui::styles {

// About box: the title in large teal bold italics, the values in navy.
inline constexpr Style kAboutTitle{.flags = flag::kBold | flag::kItalic | flag::kCentre,
                                   .font = "Arial",
                                   .font_px = 24,
                                   .colour = 0x008080};
inline constexpr Style kAboutValue{.colour = 0x000080};

// Serial port dialog: the port list takes typed text too.
inline constexpr Style kPortList{.flags = flag::kEditable};

}  // namespace talvoro::ui::styles
