/* C functions that the bridge tests call from Java, one per calling-convention rule. Weighted
 * sums make a swapped or dropped argument visible in the result. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <jni.h>
#include <pthread.h>
#include <stdint.h>
#include <string.h>

/* ---- integers, pointers, sign extension ---- */

int nt_add(int a, int b) {
    return a + b;
}
int nt_mul(int a, int b) {
    return a * b;
}

int nt_widen8(signed char c) {
    return c;
}
int nt_widen16(short s) {
    return s;
}
long nt_long_identity(long x) {
    return x;
}
long long nt_add64(long long a, long long b) {
    return a + b;
}
signed char nt_narrow8(int x) {
    return (signed char)x;
}
short nt_narrow16(int x) {
    return (short)x;
}
unsigned char nt_unsigned8(int x) {
    return (unsigned char)x;
}
const void* nt_pointer_identity(const void* p) {
    return p;
}

int nt_counter = 0;
int nt_bump(void) {
    return ++nt_counter;
}
int nt_read_int(const int* p) {
    return *p;
}

/* ---- floating point ---- */

float nt_half_float(float x) {
    return x / 2.0f;
}
double nt_half_double(double x) {
    return x / 2.0;
}
double nt_float_plus_double(float f, double d) {
    return (double)f + d;
}

/* ---- register exhaustion and stack spill ---- */

long nt_sum7(long a, long b, long c, long d, long e, long f, long g) {
    return a + 2 * b + 3 * c + 4 * d + 5 * e + 6 * f + 7 * g;
}

double nt_sum9(double a, double b, double c, double d, double e, double f, double g, double h,
               double i) {
    return a + 2 * b + 3 * c + 4 * d + 5 * e + 6 * f + 7 * g + 8 * h + 9 * i;
}

/* Integer and vector arguments interleaved, both register files exhausted. */
double nt_mixed(int i1, double d1, long i2, float f1, int i3, double d2, long i4, double d3, int i5,
                double d4, long i6, double d5, int i7, double d6, long i8, double d7, float f2,
                double d8, int i9) {
    return i1 + 2.0 * d1 + 3.0 * i2 + 4.0 * f1 + 5.0 * i3 + 6.0 * d2 + 7.0 * i4 + 8.0 * d3 +
           9.0 * i5 + 10.0 * d4 + 11.0 * i6 + 12.0 * d5 + 13.0 * i7 + 14.0 * d6 + 15.0 * i8 +
           16.0 * d7 + 17.0 * f2 + 18.0 * d8 + 19.0 * i9;
}

/* ---- variadic ---- */

static char nt_scratch_area[512];
char* nt_scratch(void) {
    return nt_scratch_area;
}
const char* nt_format(void) {
    return "%d|%ld|%.3f|%s|%c|%.1f";
}
const char* nt_word(void) {
    return "vault";
}

struct Text64 {
    char text[64];
};
struct Text64 nt_text_at(const char* p) {
    struct Text64 t;
    memset(&t, 0, sizeof(t));
    strncpy(t.text, p, sizeof(t.text) - 1);
    return t;
}

/* ---- structures by value ---- */

struct Packed {
    signed char a;
    signed char b;
    short c;
    int d;
};
long nt_packed(struct Packed p) {
    return p.a + 10L * p.b + 100L * p.c + 1000L * p.d;
}

struct Padded {
    char a;
    int b;
    short c;
    long d;
};
long nt_padded(struct Padded p) {
    return p.a + 10L * p.b + 100L * p.c + 1000L * p.d;
}

struct TwoFloats {
    float x;
    float y;
};
double nt_two_floats(struct TwoFloats t, double scale) {
    return (t.x + 2.0 * t.y) * scale;
}

struct IntFloat {
    int i;
    float f;
};
double nt_int_float(struct IntFloat s, double d) {
    return s.i + 2.0 * s.f + 3.0 * d;
}

struct DoubleLong {
    double d;
    long l;
};
double nt_double_long(struct DoubleLong s, long after) {
    return s.d + 2.0 * s.l + 3.0 * after;
}

struct LongPair {
    long a;
    long b;
};
/* Five integer registers are taken; the pair needs two, so it goes to the stack whole and the
 * sixth register still takes `tail`. */
long nt_pair_spill(long a, long b, long c, long d, long e, struct LongPair p, long tail) {
    return a + 2 * b + 3 * c + 4 * d + 5 * e + 6 * p.a + 7 * p.b + 8 * tail;
}

struct Triple {
    long a;
    long b;
    long c;
};
long nt_triple(struct Triple t, int after) {
    return t.a + 2 * t.b + 3 * t.c + 4L * after;
}

/* A 20-byte structure is passed in memory; the next stack argument starts at the next
 * eightbyte. */
struct Bytes20 {
    unsigned char b[20];
};
long nt_bytes20(long r1, long r2, long r3, long r4, long r5, long r6, struct Bytes20 m, long tail) {
    long sum = 0;
    for (int i = 0; i < 20; ++i) {
        sum += (long)(i + 1) * m.b[i];
    }
    return sum + 1000 * tail + r1 + r2 + r3 + r4 + r5 + r6;
}

/* ---- returns ---- */

struct DoubleLong nt_ret_vector_integer(double d, long l) {
    struct DoubleLong r = {d, l};
    return r;
}

struct LongDouble {
    long l;
    double d;
};
struct LongDouble nt_ret_integer_vector(long l, double d) {
    struct LongDouble r = {l, d};
    return r;
}

struct TwoDoubles {
    double a;
    double b;
};
struct TwoDoubles nt_ret_two_doubles(double a, double b) {
    struct TwoDoubles r = {a, b};
    return r;
}

struct ThreeFloats {
    float x;
    float y;
    float z;
};
struct ThreeFloats nt_ret_three_floats(float x, float y, float z) {
    struct ThreeFloats r = {x, y, z};
    return r;
}

struct LongPair nt_ret_long_pair(long a, long b) {
    struct LongPair r = {a, b};
    return r;
}

struct TwoFloats nt_ret_two_floats(float x, float y) {
    struct TwoFloats r = {x, y};
    return r;
}

struct IntPair {
    int a;
    int b;
};
struct IntPair nt_ret_int_pair(int a, int b) {
    struct IntPair r = {a, b};
    return r;
}

struct Quad {
    long a;
    long b;
    long c;
    long d;
};
struct Quad nt_ret_quad(long a, long b, long c, long d) {
    struct Quad r = {a, b, c, d};
    return r;
}

/* The 32 bytes at p, so that tests can read native memory back. */
struct Quad nt_peek(const void* p) {
    struct Quad q;
    memcpy(&q, p, sizeof(q));
    return q;
}

/* ---- faults ---- */

int nt_deref(const int* p) {
    return *(const volatile int*)p;
}

int nt_divide(int a, int b) {
    volatile int divisor = b;
    return a / divisor;
}

int nt_recurse(int depth) {
    volatile char frame[256];
    frame[0] = (char)depth;
    return nt_recurse(depth + 1) + frame[0];
}

/* ---- reaching the JVM from a native thread ---- */

typedef jint (*GetEnvFunction)(JNIEnv**, int*);
typedef jint (*DetachFunction)(void);

struct AttachProbe {
    GetEnvFunction getEnv;
    DetachFunction detach;
    int result;
};

static void* nt_attach_thread(void* context) {
    struct AttachProbe* probe = context;
    JNIEnv* env = NULL;
    int attached = 0;
    if (probe->getEnv(&env, &attached) != JNI_OK || env == NULL || !attached) {
        return NULL;
    }
    jclass string = (*env)->FindClass(env, "java/lang/String");
    probe->result = string != NULL ? 1 : 2;
    (*env)->DeleteLocalRef(env, string);
    if (probe->detach() != JNI_OK) {
        probe->result = 3;
    }
    return NULL;
}

/* On a fresh native thread: attach through the bridge, use JNI, detach. 1 means all worked. */
int nt_attach_probe(GetEnvFunction getEnv, DetachFunction detach) {
    struct AttachProbe probe = {getEnv, detach, 0};
    pthread_t thread;
    if (pthread_create(&thread, NULL, nt_attach_thread, &probe) != 0) {
        return -1;
    }
    pthread_join(thread, NULL);
    return probe.result;
}

/* On the calling thread, which the JVM already knows: 1 when the bridge did not attach it. */
int nt_env_of_java_thread(GetEnvFunction getEnv) {
    JNIEnv* env = NULL;
    int attached = -1;
    return getEnv(&env, &attached) == JNI_OK && env != NULL && attached == 0 ? 1 : 0;
}

/* ---- a dispatch table ---- */

int (*const nt_table[3])(int, int) = {nt_add, 0, nt_mul};

/* ---- callbacks: C code calling Java through thunks ---- */

struct NtMixed {
    signed char c;
    short s;
    int i;
    float f;
};
struct NtBig {
    long v[4];
};
struct NtDL {
    double d;
    long l;
};
struct NtLD {
    long l;
    double d;
};
struct NtDD {
    double a, b;
};
struct NtLL {
    long a, b;
};

int nt_call_int(int (*cb)(int, int), int a, int b) {
    return cb(a, b);
}
void nt_call_void(void (*cb)(long), long value) {
    cb(value);
}
int nt_call_int8(signed char (*cb)(signed char, short), signed char c, short s) {
    return cb(c, s);
}
long nt_call_long(long (*cb)(long, const void*), long value, const void* pointer) {
    return cb(value, pointer);
}
float nt_call_float(float (*cb)(float, double), float f, double d) {
    return cb(f, d);
}
double nt_call_double(double (*cb)(double), double d) {
    return cb(d);
}

/* Nine integers, eleven vectors and a structure that no longer finds registers: the callback
 * receives the later ones from the caller's stack. */
typedef double (*NtManyCallback)(long, double, long, long, double, float, long, long, long, long,
                                 double, double, double, double, double, double, long,
                                 struct NtMixed, double, long, float);
double nt_call_many(NtManyCallback cb) {
    struct NtMixed mixed = {-3, -400, 70000, 2.5f};
    return cb(1, 0.5, 2, 3, 1.5, 2.25f, 4, 5, 6, 7, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 8, mixed, 9.5, 9,
              10.25f);
}

/* A structure in registers (one integer and one vector eightbyte) and a large one on the
 * stack, by value. */
long nt_call_structures(long (*cb)(struct NtMixed, struct NtBig, int), int extra) {
    struct NtMixed mixed = {-7, 300, -90000, 0.75f};
    struct NtBig big = {{11, 22, 33, 44}};
    return cb(mixed, big, extra);
}

void nt_call_big(struct NtBig (*cb)(long), long seed, struct NtBig* out) {
    *out = cb(seed);
}
void nt_call_dl(struct NtDL (*cb)(void), struct NtDL* out) {
    *out = cb();
}
void nt_call_ld(struct NtLD (*cb)(void), struct NtLD* out) {
    *out = cb();
}
void nt_call_dd(struct NtDD (*cb)(void), struct NtDD* out) {
    *out = cb();
}
void nt_call_ll(struct NtLL (*cb)(void), struct NtLL* out) {
    *out = cb();
}

/* Whether the calling thread is attached to the JVM now: 1 yes, 0 no, -1 unknown. */
typedef jint (*GetCreatedVMs)(JavaVM**, jsize, jsize*);
static JavaVM* nt_java_vm(void) {
    GetCreatedVMs created = (GetCreatedVMs)dlsym(RTLD_DEFAULT, "JNI_GetCreatedJavaVMs");
    JavaVM* vm = NULL;
    jsize count = 0;
    if (created == NULL || created(&vm, 1, &count) != JNI_OK || count != 1) {
        return NULL;
    }
    return vm;
}
static int nt_is_attached(void) {
    JavaVM* vm = nt_java_vm();
    void* env = NULL;
    if (vm == NULL) {
        return -1;
    }
    return (*vm)->GetEnv(vm, &env, JNI_VERSION_1_2) == JNI_OK ? 1 : 0;
}

struct NtThreadCall {
    int (*cb)(int, int);
    int a, b;
    int attachFirst;
    int result;
    int attachedAfter;
};

static void* nt_thread_call(void* context) {
    struct NtThreadCall* call = context;
    JavaVM* vm = nt_java_vm();
    void* env = NULL;
    if (call->attachFirst && (vm == NULL || (*vm)->AttachCurrentThread(vm, &env, NULL) != JNI_OK)) {
        call->attachedAfter = -1;
        return NULL;
    }
    call->result = call->cb(call->a, call->b);
    call->attachedAfter = nt_is_attached();
    if (call->attachFirst) {
        (*vm)->DetachCurrentThread(vm);
    }
    return NULL;
}

/* Calls the callback on a new native thread, attached to the JVM beforehand or not; reports
 * through *attachedAfter whether the thread was attached right after the callback returned. */
int nt_call_int_on_thread(int (*cb)(int, int), int a, int b, int attachFirst, int* attachedAfter) {
    struct NtThreadCall call = {cb, a, b, attachFirst, 0, -1};
    pthread_t thread;
    if (pthread_create(&thread, NULL, nt_thread_call, &call) != 0) {
        return -1;
    }
    pthread_join(thread, NULL);
    *attachedAfter = call.attachedAfter;
    return call.result;
}
