#pragma once
// The hourglass: while at least one HourGlass lives, the application shows the wait cursor. Nested
// guards do not stack the override cursor; the last one to end restores the normal cursor.

class HourGlass {
public:
    HourGlass();
    ~HourGlass();
    HourGlass(const HourGlass&) = delete;
    HourGlass& operator=(const HourGlass&) = delete;

    // The number of guards alive now.
    static int Depth();
};
