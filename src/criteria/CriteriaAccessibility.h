#pragma once

class CriteriaWindow;

// Names and purposes of a criteria window's boxes and buttons, for screen readers: each
// control is announced by its label and told what it is for.
class CriteriaAccessibility
{
public:
    static void describe(CriteriaWindow &window);
};
