#pragma once

class UIObject;

// A new control of the given kind (see ControlType), or null for kinds that have no control.
UIObject* NewControlOfType(int type);
