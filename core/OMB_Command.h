// The command interface. Every change to the document is a command object:
// created by name from the registry, given its argument text through Parse,
// executed once, then kept by the history (when undoable) or destroyed.
//
// Run-time type comes from a static class record {name, parent} per class;
// "is a" tests and error messages use it. Each class declares its record with
// OMB_COMMAND_CLASS(Class, Parent) inside the class body.
#pragma once

struct OMB_ClassInfo {
    const char* name;
    const OMB_ClassInfo* parent;

    // True when `base` lies on this record's chain.
    bool IsA(const OMB_ClassInfo& base) const {
        for (const OMB_ClassInfo* c = this; c; c = c->parent)
            if (c == &base) return true;
        return false;
    }
};

#define OMB_COMMAND_CLASS(Class, Parent)                                   \
public:                                                                    \
    static const OMB_ClassInfo& StaticClassInfo() {                        \
        static const OMB_ClassInfo info{#Class, &Parent::StaticClassInfo()}; \
        return info;                                                       \
    }                                                                      \
    const OMB_ClassInfo& ClassInfo() const override { return StaticClassInfo(); }

class OMB_Command {
public:
    static const OMB_ClassInfo& StaticClassInfo() {
        static const OMB_ClassInfo info{"OMB_Command", nullptr};
        return info;
    }
    virtual const OMB_ClassInfo& ClassInfo() const { return StaticClassInfo(); }
    virtual ~OMB_Command() = default;

    // True: kept in the history after a successful top-level run.
    virtual bool IsUndoable() const { return false; }
    // Whether undoing or running it would change anything (asked after a merge).
    virtual bool HasEffect() const { return true; }
    // Absorbs `next` (usually of the same class); true when absorbed. The
    // caller still owns and destroys `next`.
    virtual bool Merge(OMB_Command* next) { return false; }
    virtual void Undo() {}
    virtual void Redo() {}
    // First run; false on failure (the executor prints and destroys).
    virtual bool Execute() { return false; }
    // Reads the argument text; false on a syntax error.
    virtual bool Parse(const char* args) { return true; }

    // The executor hands every command its environment before Parse; the
    // typed OMB_EnvCmd keeps it.
    virtual void SetEnvironment(void* env) {}

    const char* ClassName() const { return ClassInfo().name; }
    bool IsA(const OMB_ClassInfo& base) const { return ClassInfo().IsA(base); }
    bool SameClass(const OMB_Command& other) const { return &ClassInfo() == &other.ClassInfo(); }
};

// Adds the typed environment pointer. Has no class record of its own: its
// derived classes name OMB_Command as the parent of their chain.
template <typename Env>
class OMB_EnvCmd : public OMB_Command {
public:
    void SetEnvironment(void* env) override { m_env = static_cast<Env*>(env); }
    Env* env() const { return m_env; }

protected:
    Env* m_env = nullptr;
};
