package com.nativio.tests;

import com.nativio.FunctionExecutionException;
import com.nativio.ReturnType;

/** Makes one faulting call, so that a parent test can read what the bridge reports. */
public final class FaultReportProbe {
    private FaultReportProbe() {}

    public static void main(String[] args) {
        try {
            TestLibrary.call(ReturnType.INT32).addPointer(0x10).invoke(TestLibrary.function("nt_deref"));
        } catch (FunctionExecutionException e) {
            System.out.println("exception: " + e.getMessage());
        }
    }
}
