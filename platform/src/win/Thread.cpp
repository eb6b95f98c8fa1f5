#include <windows.h>

#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>

namespace {

const uint32_t THREAD_MAGIC = 0x54485244;  // "THRD"

// Shared by the handle and the running thread; freed when both have let go.
struct ThreadObject {
    uint32_t magic = THREAD_MAGIC;
    std::atomic<int> references{2};
    LPTHREAD_START_ROUTINE start = nullptr;
    LPVOID parameter = nullptr;
    pthread_t thread{};

    std::mutex lock;
    std::condition_variable ended;
    bool finished = false;
    bool handleClosed = false;
    DWORD exitCode = STILL_ACTIVE;
    pid_t kernelId = 0;
    int priority = THREAD_PRIORITY_NORMAL;
    bool priorityPending = false;
};

void Unreference(ThreadObject* object)
{
    if (object->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        object->magic = 0;
        delete object;
    }
}

ThreadObject* AsThread(HANDLE handle)
{
    ThreadObject* object = static_cast<ThreadObject*>(handle);
    return object && object->magic == THREAD_MAGIC ? object : nullptr;
}

// Windows priorities as nice values: only a privileged process can raise a thread
// above normal, as only it may lower a nice value. Nice values share the CPU
// instead of starving other threads, as real-time scheduling could.
int NiceValueFor(int priority)
{
    if (priority <= THREAD_PRIORITY_IDLE)
        return 19;
    if (priority >= THREAD_PRIORITY_TIME_CRITICAL)
        return -20;
    switch (priority) {
    case THREAD_PRIORITY_LOWEST: return 10;
    case THREAD_PRIORITY_BELOW_NORMAL: return 5;
    case THREAD_PRIORITY_ABOVE_NORMAL: return -5;
    case THREAD_PRIORITY_HIGHEST: return -10;
    default: return 0;
    }
}

bool ApplyPriority(pid_t kernelId, int priority)
{
    return setpriority(PRIO_PROCESS, static_cast<id_t>(kernelId), NiceValueFor(priority)) == 0;
}

void* RunThread(void* argument)
{
    ThreadObject* object = static_cast<ThreadObject*>(argument);
    {
        std::lock_guard<std::mutex> guard(object->lock);
        object->kernelId = static_cast<pid_t>(syscall(SYS_gettid));
        if (object->priorityPending)
            ApplyPriority(object->kernelId, object->priority);
    }
    const DWORD exitCode = object->start(object->parameter);
    {
        std::lock_guard<std::mutex> guard(object->lock);
        object->exitCode = exitCode;
        object->finished = true;
    }
    object->ended.notify_all();
    Unreference(object);
    return nullptr;
}

}  // namespace

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T stackSize, LPTHREAD_START_ROUTINE startAddress,
                           LPVOID parameter, DWORD creationFlags, LPDWORD threadId)
{
    // Suspended creation is not offered: nothing here resumes a thread.
    if (!startAddress || (creationFlags & CREATE_SUSPENDED))
        return nullptr;
    ThreadObject* object = new (std::nothrow) ThreadObject;
    if (!object)
        return nullptr;
    object->start = startAddress;
    object->parameter = parameter;

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    const size_t smallestStack = static_cast<size_t>(PTHREAD_STACK_MIN);
    if (stackSize != 0)
        pthread_attr_setstacksize(&attributes, stackSize < smallestStack ? smallestStack : stackSize);
    const int failed = pthread_create(&object->thread, &attributes, &RunThread, object);
    pthread_attr_destroy(&attributes);
    if (failed) {
        delete object;
        return nullptr;
    }
    if (threadId) {
        static std::atomic<DWORD> s_nextId{1};
        *threadId = s_nextId.fetch_add(1);
    }
    return object;
}

BOOL WINAPI SetThreadPriority(HANDLE thread, int priority)
{
    ThreadObject* object = AsThread(thread);
    if (!object)
        return FALSE;
    std::lock_guard<std::mutex> guard(object->lock);
    object->priority = priority;
    if (object->finished)
        return TRUE;
    if (object->kernelId == 0) {
        // Not started yet: the thread applies it itself as it begins.
        object->priorityPending = true;
        return TRUE;
    }
    return ApplyPriority(object->kernelId, priority) ? TRUE : FALSE;
}

int WINAPI GetThreadPriority(HANDLE thread)
{
    ThreadObject* object = AsThread(thread);
    if (!object)
        return THREAD_PRIORITY_ERROR_RETURN;
    std::lock_guard<std::mutex> guard(object->lock);
    return object->priority;
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    ThreadObject* object = AsThread(handle);
    if (!object)
        return WAIT_FAILED;
    std::unique_lock<std::mutex> guard(object->lock);
    if (milliseconds == INFINITE) {
        object->ended.wait(guard, [object] { return object->finished; });
        return WAIT_OBJECT_0;
    }
    const bool finished = object->ended.wait_for(guard, std::chrono::milliseconds(milliseconds),
                                                 [object] { return object->finished; });
    return finished ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

BOOL WINAPI GetExitCodeThread(HANDLE thread, LPDWORD exitCode)
{
    ThreadObject* object = AsThread(thread);
    if (!object || !exitCode)
        return FALSE;
    std::lock_guard<std::mutex> guard(object->lock);
    *exitCode = object->exitCode;
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE handle)
{
    ThreadObject* object = AsThread(handle);
    if (!object)
        return FALSE;
    bool finished;
    {
        std::lock_guard<std::mutex> guard(object->lock);
        if (object->handleClosed)
            return FALSE;
        object->handleClosed = true;
        finished = object->finished;
    }
    // A thread that has ended is joined so its stack goes at once; a running one
    // is let go and cleans up after itself when it ends.
    if (finished)
        pthread_join(object->thread, nullptr);
    else
        pthread_detach(object->thread);
    Unreference(object);
    return TRUE;
}
