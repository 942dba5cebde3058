#pragma once

// What the normal class room offers its class-entry steps: the room implements it, and the wiring step
// (kind 128) reaches it through the owner given to the runner.
class NormalClassEntryRoom
{
public:
    virtual ~NormalClassEntryRoom() = default;

    // Binds the members' video to the room's tiles (at the end of the entry and of every reset).
    virtual void connectVideoWidgets() = 0;
};
