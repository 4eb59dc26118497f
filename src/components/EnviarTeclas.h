#pragma once
#include <QString>

/// Types a key string into the focused widget as real key presses.
/// Notation: a character types itself; "+", "^", "%" hold Shift, Ctrl, Alt for
/// the next key or "(...)" group; "~" is Enter; "{NAME}" or "{NAME n}" a named
/// key (n times); "{c}" the key of character c; "{{}" and "{}}" the braces.
/// With `esperar` every key is handled before the next is sent; without it the
/// keys are queued behind the pending events.
/// Problems are shown in a box titled "SendKeys"; false only when a "{" is
/// left open (nothing after it is sent).
bool EnviarTeclas(const QString &teclas, bool esperar);
