#pragma once

#include "document/Steps.h"

// What the picture dialogs write: an image tag, a video clip and a background-image body tag.
// Tag pieces are magenta and the typed name black; the video clip is one string in whatever
// colour is in force at the caret. Names go in exactly as typed.
namespace pictures {

inline constexpr Rgb magenta{255, 0, 255};

// The Open dialog's file types, in the "description|patterns" notation of the file chooser.
inline constexpr char imageFilter[] = "Jpeg Files(*.jpg, *.jpeg)|*.jpg;*.jpeg|Gif Files(*.gif)|*.gif";
inline constexpr char videoFilter[] = "Video Files(*.avi)|*.avi";

// <IMG SRC="name">, centred and/or followed by <BR> as chosen. The document window itself
// takes the focus first; with a line break the editor gets the focus back at the end.
Steps image(const QString& name, bool centre, bool lineBreak);

// <p><img dynsrc="name" ... alt="name"></p>: the name twice, size fixed at 382 by 65.
QString videoElement(const QString& name);
// The element in one insertion without a colour of its own; the caret is not recorded.
Steps video(const QString& name);

// <BODY BACKGROUND="name"> at the caret, whatever body tag the page already has.
Steps backgroundImage(const QString& name);

} // namespace pictures
