/* The Linux interface of the ZDaq kernel driver, as libzdaq uses it.
 *
 * - The device node (e.g. /dev/zdaq0, subsystem "zdaq") is opened O_RDWR | O_NONBLOCK. Only one
 *   opener is served: the driver refuses a second open with EBUSY, and the library also holds an
 *   exclusive flock(2) on the node so two processes never share a device.
 * - Every I/O control is one ioctl(2) ZDAQ_IOCTL carrying struct zdaq_ioctl: the control code, the
 *   input and output buffers and, on return, the number of bytes the driver wrote to the output.
 *   A failed control returns -1 with errno set.
 * - Every control except the sampling read completes before the ioctl returns.
 * - The sampling read (ZDAQ_CTL_READ) never blocks: it returns at once with the samples that are
 *   ready (returned = bytes), or fails with EAGAIN when the driver has none; the device node then
 *   polls readable (POLLIN) when the read can be issued again and complete.
 * - The data-ready event is an eventfd(2) of the calling process. Its descriptor travels in the
 *   set-up request's 4-byte handle field; the driver takes its own reference at set-up, keeps the
 *   event's counter non-zero while samples wait to be read and clears it when they are taken.
 *
 * All fields are little-endian; the library is built for little-endian hosts only.
 */
#ifndef ZDAQ_DRIVER_ABI_H
#define ZDAQ_DRIVER_ABI_H

#include <linux/ioctl.h>
#include <stdint.h>

/* Control codes (device type 0x22). "ID" is a point or group ID; all fields 32-bit. */
#define ZDAQ_CTL_SET_POINT_CONFIGURATION 0x222080u /* in: ID, configuration ID */
#define ZDAQ_CTL_SET_GROUP_CONFIGURATION 0x222084u /* in: group ID, configuration ID */
#define ZDAQ_CTL_GET_POINT_VALUE 0x222088u         /* in: ID; out: value */
#define ZDAQ_CTL_SET_POINT_VALUE 0x22208Cu         /* in: ID, value */
#define ZDAQ_CTL_GET_POINT_CONFIGURATION 0x222098u /* in: ID; out: configuration ID */
#define ZDAQ_CTL_GET_GROUP_CONFIGURATION 0x22209Cu /* in: group ID; out: configuration ID */
#define ZDAQ_CTL_SETUP_SAMPLING 0x22202Cu          /* in: set-up request */
#define ZDAQ_CTL_START_SAMPLING 0x222030u          /* no buffers */
#define ZDAQ_CTL_STOP_SAMPLING 0x222034u           /* no buffers */
#define ZDAQ_CTL_READ 0x222039u /* in: free sample slots; out: up to that many samples */

/* Set-up request, packed, 16 + 8 * n bytes:
 *   offset 0, 2 bytes: 0
 *   offset 2, 4 bytes: data-ready event (eventfd descriptor)
 *   offset 6, 8 bytes: sampling interval in 100-ns units
 *   offset 14, 2 bytes: n, the number of entries
 *   offset 16, 8 * n bytes: per sampled point its ID and its configuration ID (4 bytes each)
 * A sample is n 32-bit values, one per entry in that order. */
#define ZDAQ_SETUP_HEADER_SIZE 16u
#define ZDAQ_SETUP_ENTRY_SIZE 8u

struct zdaq_ioctl {
  uint32_t code;     /* ZDAQ_CTL_* */
  uint32_t in_size;  /* bytes at in */
  uint32_t out_size; /* room at out */
  uint32_t returned; /* set by the driver: bytes written to out */
  uint64_t in;       /* user address of the input buffer, or 0 */
  uint64_t out;      /* user address of the output buffer, or 0 */
};

#define ZDAQ_IOCTL _IOWR('Z', 0x01, struct zdaq_ioctl)

#endif /* ZDAQ_DRIVER_ABI_H */
