#pragma once

// The common ground of the fake DirectShow objects.
//
// Every fake keeps a reference count and writes one journal line per call it
// receives ("graph.AddFilter(filter[Narvo TV], Narvo TV)"), so a test asserts
// the exact sequence of calls. Fakes are owned by the test (members of its
// fixture, or adopted by the registry when the code under test makes them
// appear, like enumerators); the reference count is bookkeeping only and never
// deletes, so a surplus Release is reported instead of crashing the test.
// At the end of a test every live fake must be back to zero references:
// fakes::Unreleased() lists those that are not.
//
// A new fake is a class deriving from Fake<Interfaces...> that names the IIDs
// of its interfaces and implements their methods:
//
//     class FakeTvAudio : public Fake<IAMTVAudio> {
//     public:
//         FakeTvAudio() : Fake("tvaudio", {IID_IAMTVAudio}) {}
//         HRESULT mode = S_OK;                      // plain fields configure it
//         STDMETHODIMP put_TVAudioMode(LONG m) override {
//             Log("put_TVAudioMode(" + std::to_string(m) + ")");
//             return mode;
//         }
//         ...
//     };
//
// A method that code under test has no business calling answers with
// Unexpected("Method"): the call is recorded as "unexpected <label>.<Method>"
// and fails the test at its end, unless the test allowed it first with
// fake.Expect({"Method"}):
//
//     STDMETHODIMP get_TVAudioMode(LONG*) override { return Unexpected("get_TVAudioMode"); }
//
// Base interfaces are answered with Answer(IID_IPersist, ...) in the
// constructor; `also` makes any fake answer further interfaces with other
// objects (a filter answering IAMVideoCompression, say).
//
// Journal text is UTF-8 (wide names are converted), so compare Japanese names
// with u8"" literals.

#include <windows.h>
#include <dshow.h>

#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace fakes {

class FakeObject {
public:
    explicit FakeObject(std::string label);
    virtual ~FakeObject();
    FakeObject(const FakeObject&) = delete;
    FakeObject& operator=(const FakeObject&) = delete;

    const std::string& Label() const { return label; }
    LONG References() const { return references; }

    // Further interfaces this object answers in QueryInterface, each with
    // another object's QueryInterface.
    std::vector<std::pair<IID, IUnknown*>> also;
    // Journal "<label>.Release" too, to see when the code lets go of it.
    bool journalReleases = false;
    // Allows calls of methods that answer with Unexpected (by name, "GetState").
    void Expect(std::initializer_list<const char*> methods);

protected:
    void Answer(REFIID iid, void* pointer);
    HRESULT Query(REFIID iid, void** out);
    ULONG Acquire();
    ULONG Drop();
    // One journal line "<label>.<call>".
    void Log(const std::string& call) const;
    // A call of a method the test did not Expect is recorded for Unreleased();
    // either way the method answers `answer`.
    HRESULT Unexpected(const char* method, HRESULT answer = E_NOTIMPL);
    // Called when the count falls to zero: give back what the object held.
    virtual void OnFinalRelease() {}

private:
    std::string label;
    LONG references = 0;
    bool adopted = false;
    bool finished = false;
    std::vector<std::pair<IID, void*>> table;
    std::set<std::string> expected;

    friend void AdoptObject(FakeObject* object);
};

template <typename... Interfaces> class Fake : public FakeObject, public Interfaces... {
public:
    // iids name Interfaces in the same order.
    Fake(std::string label, std::initializer_list<IID> iids) : FakeObject(std::move(label)) {
        void* pointers[] = {static_cast<Interfaces*>(this)...};
        size_t i = 0;
        for (const IID& iid : iids) {
            if (i < sizeof...(Interfaces)) {
                Answer(iid, pointers[i++]);
            }
        }
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return Query(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return Acquire(); }
    STDMETHODIMP_(ULONG) Release() override { return Drop(); }
};

// IDispatch of a dual interface: no code under test calls it.
#define FAKE_UNEXPECTED_DISPATCH                                                                             \
    STDMETHODIMP GetTypeInfoCount(UINT*) override {                                                          \
        return Unexpected("GetTypeInfoCount");                                                               \
    }                                                                                                        \
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override {                                             \
        return Unexpected("GetTypeInfo");                                                                    \
    }                                                                                                        \
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {                            \
        return Unexpected("GetIDsOfNames");                                                                  \
    }                                                                                                        \
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {     \
        return Unexpected("Invoke");                                                                         \
    }

// Journal.
void Log(std::string line);
const std::vector<std::string>& Journal();
// The lines that start with one of the prefixes, in order.
std::vector<std::string> JournalOf(std::initializer_list<const char*> prefixes);
void ClearJournal();

// Gives an object made during the test (an enumerator) to the registry, which
// deletes it at Reset(). Such an object may not be used after its last Release.
void AdoptObject(FakeObject* object);
template <typename T, typename... Args> T* Adopt(Args&&... args) {
    T* made = new T(std::forward<Args>(args)...);
    AdoptObject(made);
    return made;
}

// The fake behind an interface pointer, or null for anything else.
FakeObject* FakeOf(IUnknown* unknown);
// Its label, "NULL" for no object and "?" for an object that is not a fake.
std::string LabelOf(IUnknown* unknown);

// Task memory a fake hands out for the caller to free (media types, page
// lists). A malloc spy, registered on first use, sees CoTaskMemFree give
// each block back.
void* TaskAlloc(size_t size, const std::string& name);
// Whether every block named `name` (or "<name> ...") was given back. Blocks
// are asked for by name: a freed block's address is soon handed out again.
bool TaskFreed(const std::string& name);
// A string a fake hands out for the caller to give back with SysFreeString,
// watched as the blocks of TaskAlloc are.
BSTR TaskString(const wchar_t* text, const std::string& name);

// "<label> holds N" for every live fake that still holds references, then
// "<name> not freed" for every block of TaskAlloc and TaskString still out,
// then any misuse seen (Release below zero, use after the last Release, a
// call no test expected). Empty when everything taken was given back and
// nothing unexpected was called.
std::vector<std::string> Unreleased();
// Deletes adopted fakes and clears the journal, the misuse list and the
// blocks still out.
void Reset();

// Readable names for journal lines.
std::string Utf8(const wchar_t* text);
std::string NameOf(const GUID* guid);    // "PREVIEW", "IBaseFilter", "NULL" ...
std::string ClassNameOf(REFCLSID clsid); // "FilterGraph" ...
void NameGuid(REFGUID guid, const char* name);
std::string Hresult(HRESULT result);

} // namespace fakes
