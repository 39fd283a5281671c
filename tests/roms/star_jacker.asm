; A stand-in for library entry 12 in ROM-directory tests: a 32 KB program of
; our own that leaves "STAR JACKER TEST" at 0xC000, counts frames of its idle
; loop at 0xC010, turns the display on with a magenta backdrop and starts a
; tone on the sound chip, so a run shows in memory, in the picture and in
; the sound log that it is the program running.
        org 0
        di
        ld hl, signature
        ld de, 0C000h
        ld bc, signature_end - signature
        ldir

        ld hl, registers
        ld b, registers_end - registers
        ld c, 0BFh
        otir

        ld a, 8Eh               ; tone 0: period 0x0FE
        out (7Fh), a
        ld a, 0Fh
        out (7Fh), a
        ld a, 90h               ; tone 0 at full volume
        out (7Fh), a

        ld hl, 0
count:  inc hl
        ld (0C010h), hl
        jr count

signature:
        db "STAR JACKER TEST"
signature_end:

registers:
        db 00h, 80h             ; Graphics I
        db 0C0h, 81h            ; 16 KB, display on, no interrupt
        db 0Dh, 87h             ; magenta backdrop
registers_end:

        ds 7FF0h - $, 0
        db "END OF 32 KB    "   ; the last 16 bytes: the whole image was read
