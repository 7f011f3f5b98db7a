#pragma once
// Root of the framework's objects that travel as a hint (UpdateAllViews).

class CObject {
public:
    virtual ~CObject() = default;
};
