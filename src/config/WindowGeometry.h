#pragma once

// The main window's bounds and state as kept in the settings ("WindowLeft" .. "WindowState").
struct WindowGeometry
{
    int left = 0;
    int top = 0;
    int width = 698;
    int height = 767;
    bool maximised = false;

    bool operator==(const WindowGeometry&) const = default;
};
