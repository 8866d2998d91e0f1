#pragma once

#include "config/WindowGeometry.h"

// What reading and writing the settings needs from the main window; tests fake it.
class IniFileHost
{
public:
    virtual ~IniFileHost() = default;
    // Right after the slot's "名称" and "略称" are read, before its other keys.
    virtual void ComponentInit(int slot) = 0;
    // Once the geometry keys and the two layout switches are read.
    virtual void applyWindowGeometry(const WindowGeometry& g) = 0;
    // The bounds written back at close.
    virtual WindowGeometry currentWindowGeometry() const = 0;
    virtual void Read_PC_file() = 0;
    // The count files were last saved on another day than today.
    virtual void emptyEventLog() = 0;
    virtual void Read_DAY_file() = 0;
    virtual void Write_PC_file() = 0;
    virtual void Write_DAY_file() = 0;
};
